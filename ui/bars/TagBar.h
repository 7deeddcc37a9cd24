// CTagBar: the tag bar's widgets over CTagBarModel.
#pragma once

#include "app/bars/TagBarModel.h"
#include "ui/bars/BarWidget.h"

class QCheckBox;
class QLineEdit;

class CTagBar : public CBarWidget {
    Q_OBJECT
public:
    CTagBar(CTagBarModel& model, QWidget* parent = nullptr);
    ~CTagBar() override;

    void ReadControls() override;
    void WriteControls() override;

signals:
    // The user changed a tag text, the year or the loudness tags.
    void edited();

private:
    CTagBarModel& m_model;
    QLineEdit* m_title;
    QLineEdit* m_comment;
    QLineEdit* m_artist;
    QLineEdit* m_album;
    QLineEdit* m_year;
    QCheckBox* m_loudnessTags;
};
