// The output folder, file name and preset bar: three editable lists with histories and their buttons.
#include "ui/bars/FileBar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <string_view>

#include "app/language/Catalogue.h"
#include "ui/bars/FileNameDlg.h"

namespace {

QComboBox* HistoryBox(QWidget* parent, int minimumWidth) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);  // the history rule decides what is listed
    box->setMinimumWidth(minimumWidth);
    return box;
}

// The default preset is stored under one name in every language and shown in the user's; every
// other name is shown as stored.
static_assert(std::string_view(kDefaultPresetName) == "(デフォルト設定)");  // untranslated: the stored name, checked
QString DefaultPresetShown() { return QCoreApplication::translate("CFileBar", "(デフォルト設定)"); }
QString PresetShown(const CCharString& stored) {
    return stored == kDefaultPresetName ? DefaultPresetShown() : ToQt(stored);
}
CCharString PresetStored(const QString& shown) {
    return shown == DefaultPresetShown() ? CCharString(kDefaultPresetName) : FromQt(shown);
}

void ReadCombo(const QComboBox* box, ComboControl& combo, CCharString (*stored)(const QString&) = FromQt) {
    combo.text = stored(box->currentText());
    combo.items.entries.clear();
    for (int i = 0; i < box->count(); ++i) combo.items.entries.push_back(stored(box->itemText(i)));
    // Text typed over the selected item leaves the list without a selection.
    const int index = box->currentIndex();
    combo.items.selected = index >= 0 && box->itemText(index) == box->currentText() ? index : -1;
}

void WriteCombo(QComboBox* box, const ComboControl& combo, QString (*shown)(const CCharString&) = ToQt) {
    QStringList items;
    for (const CCharString& item : combo.items.entries) items << shown(item);
    ShowItems(box, items);
    box->setCurrentIndex(combo.items.selected);
    box->setEditText(shown(combo.text));
    box->lineEdit()->setCursorPosition(0);
}

QPushButton* Button(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
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
    QPushButton* save = Button(tr("保存"), this);
    QPushButton* remove = Button(tr("削除"), this);
    QPushButton* browse = Button(tr("参照"), this);
    QPushButton* edit = Button(tr("編集"), this);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* grid = new QGridLayout(this);
    grid->addWidget(LabelFor(CFileBarModel::kPresetList, m_preset, tr("録音プリセット：")), 0, 0);
    grid->addWidget(m_preset, 0, 1);
    grid->addWidget(save, 0, 2);
    grid->addWidget(remove, 0, 3);
    grid->addWidget(line, 1, 0, 1, 5);
    grid->addWidget(LabelFor(CFileBarModel::kFolderList, m_folder, tr("出力先フォルダ：")), 2, 0);
    grid->addWidget(m_folder, 2, 1, 1, 3);
    grid->addWidget(browse, 2, 4);
    grid->addWidget(LabelFor(CFileBarModel::kFileNameList, m_fileName, tr("保存ファイル名：")), 3, 0);
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
    ReadCombo(m_preset, m_model.controls.preset, PresetStored);
    ReadCombo(m_folder, m_model.controls.folder);
    ReadCombo(m_fileName, m_model.controls.fileName);
}

void CFileBar::WriteControls() {
    CWriteGuard guard(m_writing);
    WriteCombo(m_preset, m_model.controls.preset, PresetShown);
    WriteCombo(m_folder, m_model.controls.folder);
    WriteCombo(m_fileName, m_model.controls.fileName);
    setEnabled(m_model.controls.enabled);
}

void CFileBar::Browse() {
    m_model.Browse([this](const CCharString& start) -> std::optional<CCharString> {
        const QString chosen =
            chooseFolder ? chooseFolder(ToQt(start))
                         : QFileDialog::getExistingDirectory(this, Said(CFileBarModel::BrowseTitle()),
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
