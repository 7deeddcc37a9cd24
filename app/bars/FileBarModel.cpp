// The output folder, file name and preset bar's rules.
#include "app/bars/FileBarModel.h"

#include "app/files/FileNameTemplate.h"

namespace {

// Only an equal item is selected. A list box's own rule would select the first item that
// merely begins with the text, so pushing "/rec" would record into "/records/old".
void PushInto(ComboControl& combo, const CCharString& text) {
    combo.text = text;
    combo.items.selected = -1;
    for (size_t i = 0; i < combo.items.entries.size(); ++i) {
        if (combo.items.entries[i] == text) {
            combo.items.selected = static_cast<int>(i);
            return;
        }
    }
}

}  // namespace

bool CFileBarModel::Pull() {
    ReadControls();
    fileNameTemplate = CleanUpName(controls.fileName.text, CleanUpMode::Template);
    presetName = CleanUpName(controls.preset.text, CleanUpMode::Strict);
    folderWarning = OutputFolderWarning(controls.folder.text);
    outputFolder = OutputFolderInUse(controls.folder.text);
    if (!folderWarning.empty()) {
        controls.folder.text = outputFolder;
        WriteControls();
    }
    return true;
}

void CFileBarModel::Push() {
    PushInto(controls.fileName, fileNameTemplate);
    PushInto(controls.folder, outputFolder);
    PushInto(controls.preset, presetName);
    WriteControls();
}

void CFileBarModel::Browse(const std::function<std::optional<CCharString>(const CCharString& start)>& choose) {
    Pull();
    const std::optional<CCharString> chosen = choose(outputFolder);
    if (!chosen) return;
    outputFolder = *chosen;
    AddToHistory(controls.folder.items, kFolderHistoryLimit, outputFolder);
    controls.folder.text = outputFolder;
    WriteControls();
}

void CFileBarModel::EditTemplate(const std::function<bool(CCharString& text)>& edit) {
    Pull();
    const CCharString extension = FormatExtensionOf(fileNameTemplate);
    CCharString text = WithoutFormatExtension(fileNameTemplate);
    if (!edit(text)) return;
    fileNameTemplate = text + extension;
    Push();
}

void CFileBarModel::OnTemplateChosen(const CCharString& item) {
    controls.fileName.text = item + FormatExtensionOf(fileNameTemplate);
    WriteControls();
}

void CFileBarModel::SetEnabled(bool enabled) {
    // Only the state changes: what the user typed stays in the fields.
    ReadControls();
    controls.enabled = enabled;
    WriteControls();
}
