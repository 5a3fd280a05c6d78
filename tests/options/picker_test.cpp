// The folder picker: what a chosen folder becomes in the folder shown, that
// cancelling changes nothing, and that a folder whose name code page 932
// cannot hold is refused.
#include "options_support.h"
#include "support/cp932_calls.h"

namespace {

using namespace options_bench;

class OptionsPicker : public testing::Test {
protected:
    void SetUp() override
    {
        fill_launcher_state(medium.path());
        medium.put("filelist0.txt", header_list("標準", "650"));
    }
    MediumFolder medium;
};

BOOL CALLBACK collect_text(HWND child, LPARAM lparam)
{
    char text[512];
    int n = GetWindowText932(child, text, sizeof text);
    ((std::vector<std::string> *)lparam)->push_back(std::string(text, n > 0 ? (size_t)n : 0));
    return TRUE;
}

struct PickerSeen {
    HWND owner = NULL;
    std::vector<std::string> texts;
    std::vector<BoxRecord> boxes;
};

// Opens the options dialog, presses the picker and, in the picker, selects
// `folder` and presses OK, or cancels when `folder` is empty. Returns the
// folder shown afterwards.
std::string pick(const std::wstring &folder, PickerSeen *seen)
{
    // Posted, so it must outlive the call; wide, so no code page reads it.
    static std::wstring selection;
    selection = folder;
    BoxRobot robot;
    robot.on_dialog = [&](HWND window) {
        if (window == (HWND)install_state.options_window)
            return;
        seen->owner = GetWindow(window, GW_OWNER);
        EnumChildWindows(window, collect_text, (LPARAM)&seen->texts);
        if (selection.empty()) {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        PostMessageW(window, BFFM_SETSELECTIONW, TRUE, (LPARAM)selection.c_str());
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    };
    std::string shown;
    DialogScript script({
        [](HWND dialog) { press(dialog, ID_OPTIONS_PICKER); },
        [&](HWND dialog) {
            shown = control_text(dialog, ID_OPTIONS_FOLDER);
            EXPECT_EQ(shown, install_state.install_dir);
            close_box(dialog);
        },
    });
    EXPECT_EQ(0, open_options_dialog());
    seen->boxes = robot.boxes;
    return shown;
}

std::string pick(const std::string &folder, PickerSeen *seen)
{
    std::string shown = pick(std::wstring(Wide(folder.c_str()).text()), seen);
    EXPECT_TRUE(seen->boxes.empty());
    return shown;
}

TEST_F(OptionsPicker, ChosenFolderIsShownWithOneTrailingBackslashAndCancelChangesNothing)
{
    // A folder whose name ends in 'ソ' (0x83 0x5C): its last byte is the
    // backslash code, yet it still needs its separator.
    const std::string so_folder = "C:\\データソ";
    remove_tree(so_folder);
    ASSERT_TRUE(CreateDirectory932(so_folder.c_str(), NULL));
    struct Case {
        std::string chosen, shown;
    } cases[] = {
        {"", "C:\\Program Files\\Brand\\"},
        {"C:\\windows", "C:\\windows\\"},
        {"C:\\", "C:\\"},
        {so_folder, so_folder + "\\"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chosen.empty() ? std::string("cancel") : c.chosen);
        PickerSeen seen;
        EXPECT_EQ(c.shown, pick(c.chosen, &seen));
        EXPECT_EQ((HWND)install_state.options_window, seen.owner);
        bool titled = false;
        for (const std::string &text : seen.texts)
            titled = titled || text == "インストールフォルダの選択";
        EXPECT_TRUE(titled) << "the picker shows its title";
    }
    remove_tree(so_folder);
}

// 'é' and a kanji 932 lacks ('𠮷', outside the BMP): neither can be logged
// nor shown as it is, and no look-alike stands in for it.
TEST_F(OptionsPicker, AFolderNamedWithACharacterBeyondCodePage932IsRefusedAndNothingChanges)
{
    for (const std::wstring &folder : {std::wstring(L"C:\\Caf\u00e9"), std::wstring(L"C:\\\U00020BB7\u91ce\u5c4b")}) {
        RemoveDirectoryW(folder.c_str());
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), NULL));
        PickerSeen seen;
        EXPECT_EQ("C:\\Program Files\\Brand\\", pick(folder, &seen));
        ASSERT_EQ(1u, seen.boxes.size());
        EXPECT_EQ("インストールエラー", seen.boxes[0].caption);
        EXPECT_EQ("インストール先のフォルダ名に、このインストーラでは使えない文字が含まれています。"
                  "別のフォルダを選んでください。",
                  seen.boxes[0].text);
        EXPECT_EQ((HWND)install_state.options_window, seen.boxes[0].owner);
        EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "the folder stays empty";
    }
}

TEST_F(OptionsPicker, ThePickedFolderIsWhereTheStartInstalls)
{
    remove_tree("C:\\PickedParent");
    ASSERT_TRUE(CreateDirectory932("C:\\PickedParent", NULL));
    BoxRobot robot;
    robot.answer(IDNO);
    robot.on_dialog = [&](HWND window) {
        if (window == (HWND)install_state.options_window)
            return;
        PostMessageW(window, BFFM_SETSELECTIONW, TRUE, (LPARAM)L"C:\\PickedParent");
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    };
    DialogScript script({
        [](HWND dialog) { press(dialog, ID_OPTIONS_PICKER); },
        [](HWND dialog) { press(dialog, ID_OPTIONS_START); },
        [](HWND dialog) { close_box(dialog); },
    });
    EXPECT_EQ(0, open_options_dialog());
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("フォルダ\"C:\\PickedParent\\Title\\\"を作成します。よろしいですか？", robot.boxes[0].text);
    remove_tree("C:\\PickedParent");
}

}  // namespace
