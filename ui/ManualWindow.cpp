// The manual's own window: the page with its links, and a close button.
#include "ui/ManualWindow.h"

#include <QDialogButtonBox>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CManualWindow::CManualWindow(const QString& manualPath, QWidget* parent)
    : QDialog(parent) {
    auto* browser = new QTextBrowser(this);
    setObjectName(QStringLiteral("manualWindow"));
    // Pages elsewhere go to the browser, if there is one; the manual's own anchors stay here.
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl::fromLocalFile(manualPath));
    browser->setAccessibleName(browser->documentTitle());
    setWindowTitle(browser->documentTitle());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser);
    layout->addWidget(buttons);
    // A page's width of text, but never more than the screen holds.
    const QSize wanted(browser->fontMetrics().averageCharWidth() * 90, browser->fontMetrics().height() * 40);
    resize(wanted.boundedTo(screen()->availableGeometry().size() * 9 / 10));
}
