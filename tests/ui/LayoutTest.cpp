// The window on common screens: it opens inside the screen, and at 1024×600 and up every bar,
// both meters and five rows of the list are in sight, nothing cut off; the list's columns fit
// what they show. Screenshots of each size are saved for a person to look at.
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include "tests/ui/WindowRig.h"
#include "ui/bars/FileBar.h"
#include "ui/bars/InputBar.h"
#include "ui/bars/OutputBar.h"
#include "ui/bars/TagBar.h"
#include "ui/monitor/LevelBar.h"
#include "ui/monitor/LevelMeter.h"
#include "ui/monitor/MonitorBar.h"
#include "ui/StatusPane.h"

namespace {

QString RectText(const QRect& rect) {
    return QStringLiteral("%1x%2+%3+%4").arg(rect.width()).arg(rect.height()).arg(rect.x()).arg(rect.y());
}

QRect InWindow(const QWidget* widget) { return QRect(widget->mapTo(widget->window(), QPoint()), widget->size()); }

// Shown, not cut by the widgets it lies in (the window included) and not squeezed below its
// minimum.
testing::AssertionResult ShownWhole(const QWidget* widget) {
    const std::string name =
        (widget->accessibleName().isEmpty() ? widget->objectName() : widget->accessibleName()).toStdString();
    if (!widget->isVisible()) return testing::AssertionFailure() << name << " is hidden";
    QRect shown = InWindow(widget);
    for (const QWidget* outer = widget->parentWidget(); outer; outer = outer->parentWidget()) shown &= InWindow(outer);
    if (shown != InWindow(widget))
        return testing::AssertionFailure() << name << " at " << RectText(InWindow(widget)).toStdString()
                                           << " shows only " << RectText(shown).toStdString();
    const QSize least = widget->minimumSizeHint();
    if (widget->width() < least.width() || widget->height() < least.height())
        return testing::AssertionFailure() << name << " is squeezed to " << RectText(widget->rect()).toStdString();
    return testing::AssertionSuccess();
}

// The widgets of a class without a meta-object of its own.
template <typename Widget>
std::vector<Widget*> Children(QWidget& parent) {
    std::vector<Widget*> found;
    for (QWidget* child : parent.findChildren<QWidget*>())
        if (auto* widget = dynamic_cast<Widget*>(child)) found.push_back(widget);
    return found;
}

TEST(Layout, TheWindowOpensInsideTheScreen) {
    WindowRig rig;
    const QRect available = rig.frame->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(rig.frame->frameGeometry()))
        << RectText(rig.frame->frameGeometry()).toStdString() << " on " << RectText(available).toStdString();
}

// In both languages: English texts are longer than Japanese ones.
class LayoutInLanguage : public testing::TestWithParam<Language> {};

TEST_P(LayoutInLanguage, CommonScreenSizesShowEveryBarTheMetersAndFiveRows) {
    const WindowLanguage language(GetParam());
    ASSERT_TRUE(language.active());
    WindowRig rig;
    rig.frame->Action(kCommandStart)->trigger();
    QTableView* list = rig.frame->List();
    for (int track = 2; track <= 6; ++track) {
        rig.frame->Action(kCommandSplit)->trigger();
        ASSERT_TRUE(WindowRig::WaitFor([&] { return list->model()->rowCount() == track; }));
    }
    rig.frame->Action(kCommandStop)->trigger();

    const std::vector<QWidget*> bars{&rig.frame->FileBar(), &rig.frame->InputBar(), &rig.frame->OutputBar(),
                                     &rig.frame->TagBar(), Children<CMonitorBar>(*rig.frame).at(0),
                                     Children<CLevelBar>(*rig.frame).at(0)};
    const QToolBar* toolBar = rig.frame->findChild<QToolBar*>(QStringLiteral("toolBar"));
    ASSERT_TRUE(toolBar);
    const std::vector<CLevelMeter*> meters = Children<CLevelMeter>(*rig.frame);
    ASSERT_EQ(meters.size(), 2u);

    for (const QSize size : {QSize(1024, 600), QSize(1366, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        rig.frame->resize(size);
        QTest::qWait(50);
        ASSERT_EQ(rig.frame->size(), size);
        for (const QWidget* bar : bars) {
            EXPECT_TRUE(ShownWhole(bar));
            for (const QWidget* other : bars)
                EXPECT_TRUE(bar == other || !InWindow(bar).intersects(InWindow(other))) << RectText(InWindow(bar)).toStdString();
        }
        for (QAction* action : toolBar->actions()) {
            if (!action->isSeparator()) {
                EXPECT_TRUE(ShownWhole(toolBar->widgetForAction(action))) << action->iconText().toStdString();
            }
        }
        for (const CLevelMeter* meter : meters) {
            EXPECT_TRUE(ShownWhole(meter));
            // The meters follow the list's height, as long as the bar leaves them room for the captions.
            EXPECT_EQ(meter->height(), list->height() - 35);
        }
        EXPECT_TRUE(ShownWhole(list));
        for (const CStatusPane* pane : Children<CStatusPane>(*rig.frame)) EXPECT_TRUE(ShownWhole(pane));
        for (int column = 0; column < list->model()->columnCount(); ++column)
            EXPECT_GE(list->horizontalHeader()->sectionSize(column), list->horizontalHeader()->sectionSizeHint(column))
                << "header of column " << column;
        // Where a right-aligned column meets a left-aligned one, their texts stay a character apart.
        const QHeaderView* header = list->horizontalHeader();
        EXPECT_GE(2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header),
                  header->fontMetrics().averageCharWidth());
        EXPECT_GE(2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1),
                  list->fontMetrics().averageCharWidth());
        const QRect fifth = list->visualRect(list->model()->index(4, 0));
        EXPECT_TRUE(list->viewport()->rect().contains(fifth)) << RectText(fifth).toStdString();
        // Every cell's text fits its column, and from 1366 pixels on, every column fits the list.
        for (int column = 0; column < list->model()->columnCount(); ++column)
            EXPECT_GE(list->columnWidth(column), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(column))
                << "column " << column;
        if (size.width() >= 1366) {
            EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
        }
        WindowRig::Screenshot(*rig.frame, QStringLiteral("window-%1x%2-%3")
                                              .arg(size.width())
                                              .arg(size.height())
                                              .arg(QLatin1String(WindowLanguage::Code(GetParam())))
                                              .toUtf8()
                                              .constData());
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, LayoutInLanguage, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                             return std::string(WindowLanguage::Code(info.param));
                         });

}  // namespace
