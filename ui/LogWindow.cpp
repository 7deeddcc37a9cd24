// The log window: a read-only view of the log's tail that follows the file while it is shown.
#include "ui/LogWindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <sys/stat.h>

#include "app/control/ActivityLog.h"

namespace {

// A night of entries, and far more than a look back needs.
constexpr size_t kShownLines = 2000;
// Another program may write at any moment; a look twice a second costs one stat(2).
constexpr int kPollMs = 500;

}  // namespace

CLogWindow::CLogWindow(const QString& logPath, QWidget* parent)
    : QDialog(parent), m_path(logPath), m_entries(new QPlainTextEdit(this)), m_problem(new QLabel(this)) {
    setObjectName(QStringLiteral("logWindow"));
    setWindowTitle(tr("ログ - %1").arg(logPath));
    m_problem->setWordWrap(true);
    // Reached with Tab, so a screen reader's user can read it again.
    m_problem->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_entries->setAccessibleName(tr("ログ"));
    m_entries->setReadOnly(true);
    m_entries->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_entries->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_problem);
    layout->addWidget(m_entries, 1);
    layout->addWidget(buttons);
    const QSize wanted(m_entries->fontMetrics().averageCharWidth() * 110, m_entries->fontMetrics().height() * 30);
    resize(wanted.boundedTo(screen()->availableGeometry().size() * 9 / 10));
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &CLogWindow::Refresh);
}

void CLogWindow::showEvent(QShowEvent* event) {
    m_seen = {};
    Refresh();
    m_poll.start();
    QDialog::showEvent(event);
}

void CLogWindow::hideEvent(QHideEvent* event) {
    m_poll.stop();
    QDialog::hideEvent(event);
}

void CLogWindow::Refresh() {
    const QByteArray path = m_path.toLocal8Bit();
    struct stat info {};
    FileStamp now;
    if (stat(path.constData(), &info) == 0)
        now = {info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec * 1000000000L + info.st_mtim.tv_nsec};
    if (now == m_seen) return;
    m_seen = now;

    const std::vector<std::string> lines = ReadRecentLogLines(CCharString(path.constData()), kShownLines);
    QStringList text;
    int problemLine = -1;
    LogSeverity problemSeverity = LogSeverity::Information;
    for (size_t i = 0; i < lines.size(); ++i) {
        text << QString::fromUtf8(lines[i]);
        LogSeverity severity;
        if (ParseLogSeverity(lines[i], severity) && severity != LogSeverity::Information) {
            problemLine = static_cast<int>(i);
            problemSeverity = severity;
        }
    }
    m_entries->setPlainText(text.join(QLatin1Char('\n')));
    if (lines.empty())
        m_problem->setText(tr("ログはまだありません（%1）").arg(m_path));
    else
        m_problem->setText(problemLine < 0 ? tr("最後の問題: なし")
                                           : tr("最後の問題: %1").arg(text[problemLine]));
    // Read aloud whole: a fixed name would hide the problem itself from a screen reader.
    m_problem->setAccessibleName(m_problem->text());
    QFont font = m_problem->font();
    font.setBold(problemLine >= 0);
    m_problem->setFont(font);

    QList<QTextEdit::ExtraSelection> marks;
    if (problemLine >= 0) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_entries->document()->findBlockByNumber(problemLine));
        mark.format.setBackground(problemSeverity == LogSeverity::Error ? QColor(255, 205, 205) : QColor(255, 238, 170));
        mark.format.setForeground(QColor(Qt::black));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks << mark;
    }
    m_entries->setExtraSelections(marks);
    m_entries->moveCursor(QTextCursor::End);
    m_entries->verticalScrollBar()->setValue(m_entries->verticalScrollBar()->maximum());
    m_entries->horizontalScrollBar()->setValue(0);
}
