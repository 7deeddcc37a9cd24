// The tag bar: one group with the four tag templates, the year and the loudness tags.
#include "ui/bars/TagBar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

CTagBar::CTagBar(CTagBarModel& model, QWidget* parent)
    : CBarWidget(parent),
      m_model(model),
      m_title(new QLineEdit(this)),
      m_comment(new QLineEdit(this)),
      m_artist(new QLineEdit(this)),
      m_album(new QLineEdit(this)),
      m_year(new QLineEdit(this)),
      m_loudnessTags(new QCheckBox(tr("ラウドネスタグ(&D)"), this)) {
    setObjectName("tagBar");
    m_year->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_year));
    m_year->setMaximumWidth(60);
    // Docked beside other bars the fields shrink to their minimum: keep a year and the start
    // of each template readable.
    m_year->setMinimumWidth(m_year->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    for (QLineEdit* edit : {m_title, m_comment}) edit->setMinimumWidth(170);
    for (QLineEdit* edit : {m_artist, m_album}) edit->setMinimumWidth(100);
    auto* group = new QGroupBox(tr("ID3タグ設定"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(LabelFor(CTagBarModel::kTitle, m_title, tr("タイトル・曲名：")), 0, 0);
    grid->addWidget(m_title, 0, 1, 1, 3);
    grid->addWidget(LabelFor(CTagBarModel::kComment, m_comment, tr("コメント：")), 0, 4);
    grid->addWidget(m_comment, 0, 5, 1, 3);
    grid->addWidget(LabelFor(CTagBarModel::kArtist, m_artist, tr("歌手・作者：")), 1, 0);
    grid->addWidget(m_artist, 1, 1);
    grid->addWidget(LabelFor(CTagBarModel::kAlbum, m_album, tr("アルバム：")), 1, 2);
    grid->addWidget(m_album, 1, 3, 1, 2);
    grid->addWidget(LabelFor(CTagBarModel::kYear, m_year, tr("リリース年：")), 1, 5);
    grid->addWidget(m_year, 1, 6);
    m_loudnessTags->setToolTip(tr("閉じたトラックのラウドネス (EBU R128) を測り、再生ソフトが同じ音量で再生するための"
                                  "タグを書き込みます (MP3・Ogg Vorbis・FLAC・WMA は ReplayGain、Opus は R128_TRACK_GAIN)。"
                                  "WAV には書き込みません。"));
    // Under the comment's end: the bar grows no wider.
    grid->addWidget(m_loudnessTags, 1, 7);
    AddControl(CTagBarModel::kLoudnessTags, m_loudnessTags, tr("ラウドネスタグ"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group);
    for (QLineEdit* edit : {m_title, m_comment, m_artist, m_album, m_year})
        connect(edit, &QLineEdit::textEdited, this, &CTagBar::edited);
    connect(m_loudnessTags, &QCheckBox::clicked, this, &CTagBar::edited);
    m_model.view = this;
    WriteControls();
}

CTagBar::~CTagBar() { m_model.view = nullptr; }

void CTagBar::ReadControls() {
    TagBarControls& c = m_model.controls;
    c.title = FromQt(m_title->text());
    c.comment = FromQt(m_comment->text());
    c.artist = FromQt(m_artist->text());
    c.album = FromQt(m_album->text());
    c.yearText = FromQt(m_year->text());
    c.loudnessTags = m_loudnessTags->isChecked();
}

void CTagBar::WriteControls() {
    const TagBarControls& c = m_model.controls;
    const std::pair<QLineEdit*, const CCharString*> fields[] = {
        {m_title, &c.title}, {m_comment, &c.comment}, {m_artist, &c.artist}, {m_album, &c.album}, {m_year, &c.yearText}};
    for (const auto& [edit, text] : fields) {
        edit->setText(ToQt(*text));
        edit->setCursorPosition(0);  // a long template shows its beginning
    }
    m_loudnessTags->setChecked(c.loudnessTags);
}
