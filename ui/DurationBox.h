// CDurationBox: the timer's duration in minutes, typed or picked from the usual lengths.
#pragma once

#include <QComboBox>
#include <cstdint>

#include "foundation/Result.h"

// The entries read as durations ("1 時間30分"); a picked entry becomes its number of minutes
// when the focus leaves, so the text is always minutes, decimals allowed.
class CDurationBox : public QComboBox {
    Q_OBJECT
public:
    explicit CDurationBox(QWidget* parent = nullptr);

    // The duration in whole seconds, or why the text is none.
    Result<int64_t> Seconds();
    // Shows a duration as minutes, or as its entry when one has it.
    void SetSeconds(int64_t seconds);
    void NormaliseText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
