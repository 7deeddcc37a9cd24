// The meters and monitor displays as painted: pixels at the positions the scale and column
// arithmetic give, renders of the changed part only that equal whole renders, the hand-over from
// the feed while the bars can and cannot be seen, and screenshots of a tone-and-silence recording.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "platform/SignalGenerator.h"
#include "recording/LevelAnalysis.h"
#include "ui/monitor/LevelBar.h"
#include "ui/monitor/MonitorBar.h"
#include "ui/monitor/MonitorDisplays.h"
#include "ui/monitor/StaticLabels.h"

namespace {

constexpr int kBlockBytes = 17640;  // 100 ms of 44.1 kHz stereo
const PcmFormat kStereo{44100, 2, 16};

QRgb Rgb(const QColor& colour) {
    return colour.rgb();
}

int CountPixels(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour.rgb();
    return n;
}

// Antialiased text has few pixels of its exact colour: count the bright ones.
int TextPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += qRed(image.pixel(x, y)) > 60;
    return n;
}

// The largest difference of any colour of any pixel.
int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            largest = std::max({largest, std::abs(qRed(a.pixel(x, y)) - qRed(b.pixel(x, y))),
                                std::abs(qGreen(a.pixel(x, y)) - qGreen(b.pixel(x, y))),
                                std::abs(qBlue(a.pixel(x, y)) - qBlue(b.pixel(x, y)))});
    return largest;
}

ShadedColors Frame() {
    return ShadeColors(QApplication::palette().color(QPalette::Button), 50);
}

HistoryPicture PictureOf(const CHistoryColumns& columns) {
    HistoryPicture picture;
    picture.msPerColumn = columns.msPerColumn;
    picture.span = columns.span;
    picture.columns = columns.Columns();
    picture.position = columns.Position();
    picture.extremes = columns.Extremes();
    picture.averages = columns.Averages();
    return picture;
}

// The union of the areas a shown widget is repainted in.
class PaintedArea : public QObject {
public:
    explicit PaintedArea(QWidget& widget) { widget.installEventFilter(this); }
    QRect area;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) area |= static_cast<QPaintEvent*>(event)->rect();
        return false;
    }
};

TEST(ShadeColors, DarkAndCappedLight) {
    struct {
        QColor colour;
        int k;
        QColor dark, light;
    } const cases[] = {
        {QColor(53, 97, 141), 125, QColor(25, 47, 68), QColor(108, 198, 255)},
        {QColor(90, 160, 200), 125, QColor(43, 78, 97), QColor(184, 255, 255)},
        {QColor(240, 240, 240), 50, QColor(46, 46, 46), QColor(255, 255, 255)},
        {QColor(0, 18, 40), 50, QColor(0, 3, 7), QColor(0, 92, 204)},
    };
    for (const auto& c : cases) {
        const ShadedColors shade = ShadeColors(c.colour, c.k);
        EXPECT_EQ(shade.dark, c.dark) << c.colour.name().toStdString();
        EXPECT_EQ(shade.light, c.light) << c.colour.name().toStdString();
    }
}

TEST(LevelMeter, PaintsBarMarkTicksAndFrame) {
    CLevelMeter meter(QStringLiteral("L"));
    meter.resize(18, 334);
    meter.SetScale(SilenceMeterScale(-450, -450, -300));
    meter.SetValue(-225);  // bar top at 334 × 225 / 450 = 167
    const QImage& image = meter.Image();
    const ShadedColors raised = ShadeColors(meter.foreground, 125);
    struct {
        int x, y;
        QColor colour;
    } const pixels[] = {
        {9, 100, meter.background}, {9, 166, meter.background}, {9, 168, raised.light},
        {9, 169, meter.foreground}, {16, 200, raised.dark},      {9, 332, raised.dark},
        {15, 283, meter.mark},        // −382 at 382 × 334 / 450
        {15, 44, meter.grid},         // the −6 dB tick at 60 × 334 / 450
        {15, 311, meter.grid},        // the −42 dB tick, over the bar
        {0, 50, Frame().dark},        {17, 50, Frame().light},
    };
    for (const auto& p : pixels) EXPECT_EQ(image.pixel(p.x, p.y), Rgb(p.colour)) << p.x << "," << p.y;
    EXPECT_GT(TextPixels(image, QRect(2, 45, 8, 8)), 0);  // "-6" below its tick

    meter.SetValue(-450);
    EXPECT_EQ(meter.Image().pixel(9, 330), Rgb(meter.background));
    EXPECT_EQ(CountPixels(meter.Image(), meter.foreground), 0);
    EXPECT_EQ(meter.SetValue(0), -450);
    EXPECT_EQ(meter.Image().pixel(9, 2), Rgb(meter.foreground));
}

TEST(LevelMeter, ZeroRangeDrawsAnEmptyMeter) {
    CLevelMeter meter(QStringLiteral("R"));
    meter.resize(18, 334);
    meter.SetScale(SilenceMeterScale(0, 0, 0));
    meter.SetValue(0);
    EXPECT_EQ(CountPixels(meter.Image(), meter.foreground), 0);
    EXPECT_EQ(CountPixels(meter.Image(), meter.mark), 0);
    EXPECT_EQ(meter.Image().pixel(9, 100), Rgb(meter.background));
}

TEST(LevelBar, ScalesLayoutAndAccessibleLevels) {
    CLevelBar bar;
    bar.SetSilenceLevels(-450, -300);
    for (CLevelMeter* meter : {&bar.Left(), &bar.Right()}) {
        EXPECT_EQ(meter->Scale().bottom, -450);
        EXPECT_EQ(meter->Scale().tickStep, 60);
        EXPECT_EQ(meter->Value(), -450);
    }
    EXPECT_EQ(bar.Left().Scale().threshold, -450);
    EXPECT_EQ(bar.Right().Scale().threshold, -300);

    bar.show();  // a hidden widget gets its resize event only when shown
    bar.resize(bar.sizeHint().width(), 400);
    QApplication::processEvents();
    EXPECT_EQ(bar.Left().height(), 365);
    EXPECT_EQ(bar.Right().height(), 365);
    int captions = 0;
    for (QLabel* label : bar.findChildren<QLabel*>()) {
        if (label->text() == "単位：dB") continue;
        EXPECT_EQ(label->y(), 380) << label->text().toStdString();
        ++captions;
    }
    EXPECT_EQ(captions, 2);

    bar.Left().SetValue(-123);
    QAccessibleInterface* meter = QAccessible::queryAccessibleInterface(&bar.Left());
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->text(QAccessible::Name), "L");
    EXPECT_EQ(meter->text(QAccessible::Value), "-12.3 dB");
    ASSERT_NE(meter->valueInterface(), nullptr);
    EXPECT_DOUBLE_EQ(meter->valueInterface()->currentValue().toDouble(), -12.3);
    EXPECT_DOUBLE_EQ(meter->valueInterface()->minimumValue().toDouble(), -45.0);
    bar.DropToBottom();
    EXPECT_EQ(bar.Left().Value(), -450);
}

TEST(WaveScope, TracesInTheirPanelsUntilCleared) {
    CWaveScope scope;
    scope.resize(300, 37);
    ScopePicture picture;
    picture.hasWindow = true;
    picture.format = kStereo;
    std::vector<int16_t> pcm(4400);
    for (size_t i = 0; i < pcm.size(); i += 2) {
        pcm[i] = 16350;
        pcm[i + 1] = -16350;
    }
    picture.data.assign(reinterpret_cast<char*>(pcm.data()), reinterpret_cast<char*>(pcm.data()) + 8800);
    picture.validBytes = 8800;
    scope.SetPicture(picture);
    EXPECT_EQ(scope.FramesPerPanel(), 149);  // min(2200, 300 − 2) / 2
    // Inner height 35: halfH 17; y = 1 + 17 ∓ 17 × 16350 / 32700.
    const QImage& image = scope.Image();
    const int halfW = 149;
    EXPECT_EQ(image.pixel(1 + 50, 10), Rgb(scope.foreground));
    EXPECT_EQ(image.pixel(1 + 148, 10), Rgb(scope.foreground));
    EXPECT_EQ(image.pixel(1 + 50, 26), Rgb(scope.background));
    EXPECT_EQ(image.pixel(1 + halfW + 50, 26), Rgb(scope.foreground));
    EXPECT_EQ(image.pixel(1 + halfW + 50, 10), Rgb(scope.background));
    EXPECT_EQ(image.pixel(halfW - 1, 20), Rgb(Frame().light));  // the left panel's right edge
    EXPECT_EQ(image.pixel(halfW, 20), Rgb(Frame().dark));       // the right panel's left edge

    scope.Clear();
    EXPECT_EQ(scope.FramesPerPanel(), 0);
    EXPECT_EQ(CountPixels(scope.Image(), scope.foreground), 0);
    EXPECT_GT(TextPixels(scope.Image(), QRect(2, 2, halfW - 4, 33)), 0);  // LEFT
}

// Labels laid out once land on the very pixels drawText gives them: the meters' ticks, the
// histories' times and the scope's channels over a band antialiasing blends into, their colours at
// most a level off; the status panes' texts on their own ground exactly, and off it too (a CJK
// face has a blending of its own); laid out anew, cached, with a new last word and in a new colour.
using LabelAt = std::tuple<const char*, int, QRect, const char*, bool>;  // face, alignment, rect, text, on a ground
class Labels : public ::testing::TestWithParam<LabelAt> {};

TEST_P(Labels, LandAsDrawTextPutsThem) {
    const auto& [family, alignment, place, utf8, grounded] = GetParam();
    const QFont face = family[0] ? QFont(QString::fromLatin1(family), 7) : QApplication::font();
    const QColor ground(0, 18, 40);
    QColor pen;
    const auto render = [&](const auto& draw) {
        QImage image(220, 60, QImage::Format_RGB32);
        image.fill(ground);
        QPainter painter(&image);
        if (!grounded) painter.fillRect(0, 24, 220, 9, QColor(90, 160, 200));
        painter.setFont(face);
        painter.setPen(pen);
        draw(painter);
        return image;
    };
    CStaticLabels labels(grounded ? ground : QColor());
    for (const QColor& colour : {QColor(200, 200, 200), QColor(255, 220, 0)})
        for (const QString& text : {QString::fromUtf8(utf8), QString::fromUtf8(utf8) + QStringLiteral("7")})
            for (const QRect& rect : {place, place.translated(1, 1)}) {
                pen = colour;
                const QImage expected = render([&](QPainter& p) { p.drawText(rect, alignment, text); });
                for (const char* layout : {"new", "cached"})
                    EXPECT_LE(LargestDifference(render([&](QPainter& p) { labels.Draw(p, rect, alignment, text); }),
                                                expected),
                              grounded ? 0 : 1)
                        << text.toStdString() << " at " << rect.x() << " in " << colour.name().toStdString() << ", "
                        << layout;
            }
}

INSTANTIATE_TEST_SUITE_P(
    Displays, Labels,
    ::testing::Values(LabelAt{"Arial", Qt::AlignLeft | Qt::AlignTop, QRect(2, 8, 30, 300), "-45", false},
                      LabelAt{"Arial", Qt::AlignHCenter | Qt::AlignBottom, QRect(60, 0, 80, 37), "12:00:00", false},
                      LabelAt{"", Qt::AlignRight | Qt::AlignVCenter, QRect(0, 0, 180, 21), "トラック(12)時間 3:04.56", false},
                      // Its glyphs at 7 points share pixels with the ones beside them.
                      LabelAt{"Noto Sans CJK JP", Qt::AlignRight | Qt::AlignVCenter, QRect(0, 0, 180, 21), "トラック(12)時間 3:04.56", true},
                      LabelAt{"", Qt::AlignRight | Qt::AlignVCenter, QRect(0, 1, 200, 20), "Track (3) time 0:00.10", true}));

TEST(WaveHistory, ColumnsTimeMarksAndPositionMarkOnTheControlOnly) {
    // One frame at ±20000, the rest ±1000: extremes far outside the averages.
    std::vector<int16_t> pcm(2 * 4410);
    for (int i = 0; i < 4410; ++i) pcm[2 * i] = i % 2 ? -1000 : 1000;
    pcm[0] = 20000;
    pcm[2] = -20000;
    CHistoryColumns columns;
    columns.msPerColumn = 100;
    columns.span = TrackSpan(500);
    columns.Start(kStereo);
    for (int i = 0; i < 471; ++i) columns.Feed(reinterpret_cast<const char*>(pcm.data()), kBlockBytes);
    const HistoryPicture picture = PictureOf(columns);

    CWaveHistory history(QStringLiteral("track"));
    history.resize(500, 37);
    history.SetPicture(picture);
    EXPECT_EQ(history.Margin(), 15);
    EXPECT_EQ(history.MarkX(), 15 + 236);
    const QImage& image = history.Image();
    const QColor light = ShadeColors(history.foreground, 125).light;
    // mid 18: maximum at 18 + 18 × 20000 / 32700 = 29, minimum at 7 (not drawn, the line stops
    // before it), averages 19 … 17.
    const int x = 15 + 10;
    EXPECT_EQ(image.pixel(x, 29), Rgb(history.foreground));
    EXPECT_EQ(image.pixel(x, 8), Rgb(history.foreground));
    EXPECT_EQ(image.pixel(x, 7), Rgb(history.background));
    EXPECT_EQ(image.pixel(x, 19), Rgb(light));
    EXPECT_EQ(image.pixel(15 + 300, 18), Rgb(history.grid));  // an empty column: the centre line
    EXPECT_EQ(image.pixel(15 + 300, 25), Rgb(history.background));
    for (int timeLine : {15, 15 + 235, 15 + 470}) EXPECT_EQ(image.pixel(timeLine, 2), Rgb(history.grid)) << timeLine;
    EXPECT_NE(image.pixel(history.MarkX(), 5), Rgb(history.mark));
    EXPECT_EQ(history.grab().toImage().pixel(history.MarkX(), 5), Rgb(history.mark));
}

// Each display rendered again and again in the part each change touched ends as one rendered
// whole from its last state; and a shown display repaints only that part.
TEST(PartialRender, EqualsAWholeRender) {
    std::mt19937 random(7);
    const MeterScale scale = SilenceMeterScale(-450, -450, -300);
    CLevelMeter meter(QStringLiteral("L"));
    meter.resize(18, 334);
    meter.SetScale(scale);
    // Every step, as the meter is drawn from its empty and full pictures but near the bar's top.
    for (int i = 0; i < 300; ++i) {
        meter.SetValue(std::uniform_int_distribution<int>(-520, 20)(random));  // beyond both ends too
        CLevelMeter wholeMeter(QStringLiteral("L"));
        wholeMeter.resize(meter.size());
        wholeMeter.SetScale(scale);
        wholeMeter.SetValue(meter.Value());
        ASSERT_EQ(meter.Image(), wholeMeter.Image()) << "level " << meter.Value();
    }

    // Tone bursts of changing level: columns differ, and 1000 blocks halve the history twice.
    std::vector<int16_t> pcm(2 * 4410);
    CHistoryColumns columns;
    columns.msPerColumn = 100;
    columns.span = TrackSpan(500);
    columns.Start(kStereo);
    CWaveHistory history(QStringLiteral("track")), wholeHistory(QStringLiteral("track"));
    CWaveScope scope, wholeScope;
    ScopePicture scopePicture;
    scopePicture.hasWindow = true;
    scopePicture.format = kStereo;
    for (QWidget* w : {static_cast<QWidget*>(&history), static_cast<QWidget*>(&wholeHistory)}) w->resize(500, 37);
    for (QWidget* w : {static_cast<QWidget*>(&scope), static_cast<QWidget*>(&wholeScope)}) w->resize(256, 37);
    for (int block = 0; block < 1000; ++block) {
        const int level = std::uniform_int_distribution<int>(0, 32000)(random);
        for (int i = 0; i < 4410; ++i) pcm[2 * i] = pcm[2 * i + 1] = static_cast<int16_t>(level * ((i / 7) % 3 - 1));
        columns.Feed(reinterpret_cast<const char*>(pcm.data()), kBlockBytes);
        history.SetPicture(PictureOf(columns));
        history.Image();
        scopePicture.data.assign(reinterpret_cast<char*>(pcm.data()), reinterpret_cast<char*>(pcm.data()) + 8800);
        scopePicture.validBytes = block % 50 == 49 ? 0 : 8800;
        scope.SetPicture(scopePicture);
        scope.Image();
    }
    ASSERT_EQ(history.Picture().msPerColumn, 400);
    wholeHistory.SetPicture(history.Picture());
    EXPECT_EQ(history.Image(), wholeHistory.Image());
    EXPECT_EQ(history.grab().toImage(), wholeHistory.grab().toImage());  // the position mark too
    wholeScope.SetPicture(scopePicture);
    EXPECT_EQ(scope.Image(), wholeScope.Image());
    scope.Clear();
    wholeScope.Clear();
    EXPECT_EQ(scope.Image(), wholeScope.Image());

    // Shown: a small change of level repaints a band of rows (none on the same row), a new column
    // one column and the position mark's two.
    meter.show();
    history.show();
    QApplication::processEvents();
    PaintedArea meterPaints(meter), historyPaints(history);
    meter.SetValue(-200);
    QApplication::processEvents();
    meterPaints.area = {};
    meter.SetValue(-210);
    QApplication::processEvents();
    const int band = MeterBarTop(scale, -210, 334) - MeterBarTop(scale, -200, 334) + 2;
    EXPECT_EQ(meterPaints.area, QRect(0, MeterBarTop(scale, -200, 334), 18, band));
    meterPaints.area = {};
    ASSERT_EQ(MeterBarTop(scale, -209, 334), MeterBarTop(scale, -210, 334));
    meter.SetValue(-209);  // the same row: nothing to paint
    QApplication::processEvents();
    EXPECT_TRUE(meterPaints.area.isEmpty());
    for (int block = 0; block < 4; ++block)  // a column of 400 ms
        columns.Feed(reinterpret_cast<const char*>(pcm.data()), kBlockBytes);
    history.SetPicture(PictureOf(columns));
    QApplication::processEvents();
    EXPECT_LE(historyPaints.area.width(), 3) << historyPaints.area.x();
    EXPECT_EQ(historyPaints.area.height(), 37);
}

// A recording of a tone-and-silence pattern through the feed, as the audio thread would deliver it.
class Recording : public ::testing::Test {
protected:
    Recording() : displays(feed, levels, monitor) {
        levels.resize(levels.sizeHint());
        // What cannot be seen is not painted.
        levels.show();
        monitor.show();
        QApplication::processEvents();
        displays.SetSilenceLevels(-450, -450);
        const Result<SignalSpec> spec =
            ParseSignalSpec("tone=440hz/-6db/20s,silence=10s,tone=1000hz/-20db/15s,silence=5s,loop");
        EXPECT_TRUE(spec);
        const Result<void> opened = signal.Open(spec.value_or(SignalSpec()), 44100, 2, 16);
        EXPECT_TRUE(opened) << opened.error().message.SourceText();
    }
    // `seconds` of the signal, 100 ms per buffer, with the displays refreshed now and then.
    void Record(double seconds, bool paused = false) {
        for (int i = 0; i < seconds * 10; ++i) {
            Feed(paused);
            if (i % 3 == 0) displays.Refresh();
        }
        displays.Refresh();
    }
    // One buffer, as the audio thread hands it over: nothing refreshed.
    void Feed(bool paused = false) {
        signal.Generate(block.data(), 4410);
        last = MeasureLevels(block.data(), kBlockBytes, 2);
        feed.OnBuffer(MonitorBuffer{block.data(), kBlockBytes, kStereo, last.left, last.right, paused});
    }
    void Save(QWidget& widget, const char* name) {
        QDir().mkpath(VELSONA_SCREENSHOTS);
        const QString path = QStringLiteral(VELSONA_SCREENSHOTS "/") + name;
        EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
    }

    CRingingFeed feed;
    CLevelBar levels;
    CMonitorBar monitor;
    CMonitorDisplays displays;
    CSignalGenerator signal;
    std::vector<char> block = std::vector<char>(kBlockBytes);
    BufferLevels last;
};

TEST_F(Recording, DisplaysFollowTheFeedPauseAndStop) {
    feed.OnRecordingStart(kStereo);
    feed.OnTrackOpen(kStereo);
    Record(540);
    feed.OnTrackOpen(kStereo);  // a split: the track history starts again
    Record(79.5);                // ends 19.5 s into the loud tone
    EXPECT_EQ(levels.Left().Value(), last.left);
    EXPECT_GT(last.left, -70);
    EXPECT_EQ(monitor.Scope().FramesPerPanel(), std::min(2200, monitor.Scope().width() - 2) / 2);
    const HistoryPicture total = monitor.Total().Picture();
    const HistoryPicture track = monitor.Track().Picture();
    EXPECT_EQ(total.columns, monitor.Total().width() - 30);
    EXPECT_EQ(track.msPerColumn, 400);  // 795 blocks on a 244-column history: halved twice
    EXPECT_GT(total.position, 0);
    Save(levels, "meters.png");
    Save(monitor, "monitor.png");

    Record(2.5, true);  // paused into the silence: meters and scope move, histories stand
    EXPECT_EQ(levels.Left().Value(), -903);
    EXPECT_EQ(monitor.Track().Picture().position, track.position);
    EXPECT_EQ(monitor.Total().Picture().position, total.position);

    displays.RecordingStopped();
    EXPECT_EQ(levels.Left().Value(), -450);
    EXPECT_EQ(levels.Right().Value(), -450);
    EXPECT_EQ(monitor.Scope().FramesPerPanel(), 0);
    EXPECT_EQ(monitor.Track().Picture().position, track.position);  // the histories keep their picture
    EXPECT_EQ(monitor.Total().Picture().extremes, total.extremes);
    Record(0.5);  // buffers the capture thread was still handling
    EXPECT_EQ(monitor.Scope().FramesPerPanel(), 0);

    feed.OnTrackOpen(kStereo);  // a calibration session: the scope shows again
    Record(0.5);
    EXPECT_GT(monitor.Scope().FramesPerPanel(), 0);
    displays.SetSilenceLevels(-300, -300);  // its result: rescaled meters; the scope goes on
    EXPECT_EQ(levels.Left().Scale().tickStep, 30);
    EXPECT_EQ(levels.Left().Value(), -300);
    Record(0.5);
    EXPECT_GT(monitor.Scope().FramesPerPanel(), 0);
}

// Minimised or hidden bars are given nothing while buffers arrive; shown again, each has the
// newest picture: the history holds the columns of the time it was away.
TEST_F(Recording, BarsThatCannotBeSeenCatchUpWhenShown) {
    feed.OnRecordingStart(kStereo);
    feed.OnTrackOpen(kStereo);
    Record(2);
    QApplication::processEvents();  // the loop runs on between buffers
    ASSERT_TRUE(displays.Refreshing());
    const HistoryPicture before = monitor.Track().Picture();
    const int meterBefore = levels.Left().Value();

    levels.hide();
    monitor.showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(displays.Refreshing());
    Record(19.5);  // into the loud tone
    EXPECT_EQ(monitor.Track().Picture().position, before.position);
    EXPECT_EQ(levels.Left().Value(), meterBefore);

    monitor.showNormal();
    QApplication::processEvents();
    EXPECT_TRUE(displays.Refreshing());
    const HistoryPicture& track = monitor.Track().Picture();
    EXPECT_EQ(track.position, before.position + 2 * 195);
    EXPECT_EQ(levels.Left().Value(), meterBefore);  // its bar is still hidden
    // Columns fed while minimised are drawn (the tone reaches far from the centre line), the
    // next ones are still empty.
    const QImage shown = monitor.Track().grab().toImage();
    const int fed = monitor.Track().Margin() + before.position / 2 + 100;
    const int mid = shown.height() / 2;
    EXPECT_NE(shown.pixel(fed, mid + 5), Rgb(monitor.Track().background));
    EXPECT_EQ(shown.pixel(monitor.Track().MarkX() + 5, mid + 5), Rgb(monitor.Track().background));

    levels.show();
    for (int turn = 0; turn < 3; ++turn) QApplication::processEvents();  // shown, exposed, painted
    EXPECT_EQ(levels.Left().Value(), last.left);
    Save(monitor, "monitor-restored.png");

    // A stop while minimised: restored, the scope is empty and the meters are at their bottom.
    monitor.showMinimized();
    levels.showMinimized();
    QApplication::processEvents();
    Record(0.5);
    displays.RecordingStopped();
    monitor.showNormal();
    levels.showNormal();
    QApplication::processEvents();
    EXPECT_EQ(monitor.Scope().FramesPerPanel(), 0);
    EXPECT_EQ(levels.Left().Value(), -450);
}

// Each buffer wakes the displays that can be seen, once; nothing wakes while none can be seen.
TEST_F(Recording, EachBufferWakesTheDisplaysThatCanBeSeen) {
    int pictures = 0;
    displays.onPicture = [&pictures] { ++pictures; };
    feed.OnRecordingStart(kStereo);
    feed.OnTrackOpen(kStereo);
    Record(1);
    pictures = 0;
    const int start = monitor.Track().Picture().position;  // two values a buffer
    for (int buffer = 1; buffer <= 3; ++buffer) {
        Feed();
        QApplication::processEvents();
        EXPECT_EQ(levels.Left().Value(), last.left);
        EXPECT_EQ(pictures, buffer);
    }
    levels.showMinimized();
    monitor.hide();
    QApplication::processEvents();
    pictures = 0;
    for (int buffer = 0; buffer < 5; ++buffer) Feed();
    QApplication::processEvents();
    EXPECT_EQ(pictures, 0);

    monitor.show();  // the rings while away wake it once, with the newest picture
    for (int turn = 0; turn < 3; ++turn) QApplication::processEvents();
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(monitor.Track().Picture().position, start + 2 * (3 + 5));
}

}  // namespace
