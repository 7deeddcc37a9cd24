// COutputBar: the output settings bar's widgets over COutputBarModel.
#pragma once

#include "app/bars/OutputBarModel.h"
#include "ui/bars/BarWidget.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSlider;
class QSpinBox;
class CTimeField;

class COutputBar : public CBarWidget {
    Q_OBJECT
public:
    COutputBar(COutputBarModel& model, QWidget* parent = nullptr);
    ~COutputBar() override;

    void ReadControls() override;
    void WriteControls() override;

signals:
    // The user typed or stepped the track number.
    void trackNumberEdited();
    // The user changed the format, the quality, the Ogg quality, the recording number or the
    // split settings.
    void edited();

private:
    COutputBarModel& m_model;
    QGroupBox* m_outputGroup;
    QComboBox* m_format;
    QComboBox* m_quality;
    QSlider* m_oggQuality;
    QSpinBox* m_recordingNumber;
    QSpinBox* m_trackNumber;
    QComboBox* m_splitMethod;
    QLabel* m_splitTimeLabel;
    CTimeField* m_splitTime;
    QCheckBox* m_skipSilence;
    QLabel* m_preRollLabel;
    QSpinBox* m_preRoll;
    QCheckBox* m_alignToClock;
};
