// CFileBarModel: the output folder, file name and preset bar without its widgets: three
// editable lists with histories, browse, and the file-name dialog's extension rule.
#pragma once

#include <functional>
#include <optional>

#include "app/bars/BarModel.h"
#include "app/settings/SettingsStore.h"

// An editable drop-down list: its edit part and its items.
struct ComboControl {
    CCharString text;
    HistoryList items;  // items.selected is the list's selection
};

struct FileBarControls {
    ComboControl preset;
    ComboControl folder;
    ComboControl fileName;
    bool enabled = true;
};

class CFileBarModel : public CBarModel {
public:
    enum ControlId { kFileNameList = 1002, kBrowse = 1003, kSavePreset = 1004, kDeletePreset = 1005,
                     kFolderList = 1006, kEdit = 1007, kPresetList = 1008 };
    static UserText BrowseTitle() { return UserText("FileBarModel", "出力フォルダを選択して下さい"); }

    // Fields, in the bar's order.
    CCharString fileNameTemplate;  // with the format's extension
    CCharString outputFolder;
    CCharString presetName;
    // Set by Pull when the folder used is not the folder as typed: what to tell the user.
    UserText folderWarning;

    FileBarControls controls;

    // Copies the three texts: the folder as typed, a path on this system ("\" separating folders,
    // and then the field shows the folder used); the template cleaned up keeping its separators,
    // the preset name strictly. Never refuses.
    bool Pull();
    // Each text goes into its list's edit part; an item equal to it is selected.
    void Push();

    // "参照": `choose` shows the folder browser starting at the folder and gives the chosen
    // folder, or nothing when cancelled.
    void Browse(const std::function<std::optional<CCharString>(const CCharString& start)>& choose);
    // "編集": `edit` shows the file-name dialog with the template (without a format's
    // extension) and changes it; false when cancelled.
    void EditTemplate(const std::function<bool(CCharString& text)>& edit);
    // A history item was chosen in the template list (run after the list has shown it): the
    // item gets the current format's extension.
    void OnTemplateChosen(const CCharString& item);
    // While recording the whole bar is disabled.
    void SetEnabled(bool enabled);
};
