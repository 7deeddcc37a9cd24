// CLevelMeter: one channel's vertical level meter, in tenths of a decibel, with its silence
// threshold mark and tick labels.
#pragma once

#include <QString>

#include "app/monitor/MeterScale.h"
#include "ui/monitor/ColorButton.h"

class CLevelMeter : public CColorButton {
public:
    // `channel` ("L", "R") is also its accessible name; assistive tools read its level in dB.
    explicit CLevelMeter(const QString& channel, QWidget* parent = nullptr);

    // Shows `level` and returns the level shown before.
    int SetValue(int level);
    int Value() const { return m_value; }
    void SetScale(const MeterScale& scale);
    const MeterScale& Scale() const { return m_scale; }

protected:
    void Render(QPainter& painter, const QRect& rect) override;

private:
    int m_value = 0;
    MeterScale m_scale;
};

// "-12.3 dB"
QString LevelText(int level);
