// The output folder, file name and preset bar: three editable lists with histories and their buttons.
#include "ui/bars/FileBar.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "ui/bars/FileNameDlg.h"

namespace {

QComboBox* HistoryBox(QWidget* parent, int minimumWidth) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);  // the history rule decides what is listed
    box->setMinimumWidth(minimumWidth);
    return box;
}

void ReadCombo(const QComboBox* box, ComboControl& combo) {
    combo.text = FromQt(box->currentText());
    combo.items.entries.clear();
    for (int i = 0; i < box->count(); ++i) combo.items.entries.push_back(FromQt(box->itemText(i)));
    // Text typed over the selected item leaves the list without a selection.
    const int index = box->currentIndex();
    combo.items.selected = index >= 0 && box->itemText(index) == box->currentText() ? index : -1;
}

void WriteCombo(QComboBox* box, const ComboControl& combo) {
    ShowItems(box, combo.items.entries);
    box->setCurrentIndex(combo.items.selected);
    box->setEditText(ToQt(combo.text));
    box->lineEdit()->setCursorPosition(0);
}

QPushButton* Button(const char* text, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CFileBar::CFileBar(CBarSet& bars, QWidget* parent)
    : CBarWidget(parent),
      m_bars(bars),
      m_model(bars.fileBar),
      m_preset(HistoryBox(this, 200)),
      m_folder(HistoryBox(this, 340)),
      m_fileName(HistoryBox(this, 340)) {
    setObjectName("fileBar");
    QPushButton* save = Button("保存", this);
    QPushButton* remove = Button("削除", this);
    QPushButton* browse = Button("参照", this);
    QPushButton* edit = Button("編集", this);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* grid = new QGridLayout(this);
    grid->addWidget(LabelFor(CFileBarModel::kPresetList, m_preset, "録音プリセット："), 0, 0);
    grid->addWidget(m_preset, 0, 1);
    grid->addWidget(save, 0, 2);
    grid->addWidget(remove, 0, 3);
    grid->addWidget(line, 1, 0, 1, 5);
    grid->addWidget(LabelFor(CFileBarModel::kFolderList, m_folder, "出力先フォルダ："), 2, 0);
    grid->addWidget(m_folder, 2, 1, 1, 3);
    grid->addWidget(browse, 2, 4);
    grid->addWidget(LabelFor(CFileBarModel::kFileNameList, m_fileName, "保存ファイル名："), 3, 0);
    grid->addWidget(m_fileName, 3, 1, 1, 3);
    grid->addWidget(edit, 3, 4);
    AddControl(CFileBarModel::kSavePreset, save, save->text());
    AddControl(CFileBarModel::kDeletePreset, remove, remove->text());
    AddControl(CFileBarModel::kBrowse, browse, browse->text());
    AddControl(CFileBarModel::kEdit, edit, edit->text());

    connect(save, &QPushButton::clicked, this, [this] { m_bars.SavePreset(); });
    connect(remove, &QPushButton::clicked, this, [this] {
        m_bars.DeletePreset();
        emit settingsLoaded();
    });
    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    connect(edit, &QPushButton::clicked, this, [this] { EditTemplate(); });
    connect(m_preset, &QComboBox::activated, this, [this] {
        if (m_writing) return;
        ReadControls();
        m_bars.SelectPreset();
        emit settingsLoaded();
    });
    // The list shows the chosen item first; the format's extension follows it afterwards.
    connect(m_fileName, &QComboBox::activated, this, [this](int index) {
        const CCharString item = FromQt(m_fileName->itemText(index));
        QMetaObject::invokeMethod(
            this,
            [this, item] {
                m_model.OnTemplateChosen(item);
                emit edited();
            },
            Qt::QueuedConnection);
    });
    m_model.view = this;
    WriteControls();
}

CFileBar::~CFileBar() { m_model.view = nullptr; }

void CFileBar::ReadControls() {
    ReadCombo(m_preset, m_model.controls.preset);
    ReadCombo(m_folder, m_model.controls.folder);
    ReadCombo(m_fileName, m_model.controls.fileName);
}

void CFileBar::WriteControls() {
    CWriteGuard guard(m_writing);
    WriteCombo(m_preset, m_model.controls.preset);
    WriteCombo(m_folder, m_model.controls.folder);
    WriteCombo(m_fileName, m_model.controls.fileName);
    setEnabled(m_model.controls.enabled);
}

void CFileBar::Browse() {
    m_model.Browse([this](const CCharString& start) -> std::optional<CCharString> {
        const QString chosen =
            chooseFolder ? chooseFolder(ToQt(start))
                         : QFileDialog::getExistingDirectory(this, QString::fromUtf8(CFileBarModel::kBrowseTitle),
                                                             ToQt(start));
        if (chosen.isEmpty()) return std::nullopt;
        return FromQt(chosen);
    });
    emit edited();
}

void CFileBar::EditTemplate() {
    if (!m_model.prompts) return;
    m_model.EditTemplate([this](CCharString& text) {
        CFileNameDlg dialog(ToQt(text), *m_model.prompts, this);
        if (dialog.exec() != QDialog::Accepted) return false;
        text = FromQt(dialog.Text());
        return true;
    });
    emit edited();
}
