// Media with one kind of problem each, and the report medium-check must give
// for them, shared by the native tests, the Win32 tests (the same report from
// medium-check.exe under Wine) and the end-to-end agreement with the
// installer. File texts are code page 932 (the sources' execution character
// set); reports are UTF-8 (u8 literals), as the tool prints them.
#pragma once

#include <string.h>

#include <ostream>
#include <string>
#include <vector>

#include "launcher/bmp_builder.h"

namespace checker_media {

struct MediumFile {
    std::string path;           // '/' between folders, from the folder above setup
    std::string bytes;          // a path ending in '/' is a folder
};

struct Case {
    const char *name;
    std::vector<MediumFile> files;
    int exit_code;
    const char *report;
    bool names_differing_in_case = false;   // Wine cannot lay such a medium out
};

inline void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

// The smallest file the checker takes for the installer: a PE image for
// `machine` with `subsystem` (2: GUI) and a dialog resource named `dialog`,
// the launcher's "IDD_INSTDLG" unless said otherwise.
inline std::string program_stand_in(unsigned machine = 0x14c, unsigned subsystem = 2,
                                    const char *dialog = "IDD_INSTDLG")
{
    std::string image(0x300, '\0');
    auto put = [&image](size_t at, unsigned value, int size) {
        for (int i = 0; i < size; i++)
            image[at + i] = (char)(value >> (8 * i));
    };
    image.replace(0, 2, "MZ");
    put(0x3c, 0x40, 4);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    put(0x44, machine, 2);
    put(0x46, 1, 2);                     // one section
    put(0x54, 224, 2);                   // the optional header of a PE32 image
    put(0x58, 0x10b, 2);
    put(0x58 + 68, subsystem, 2);
    put(0x58 + 92, 16, 4);               // data directories
    put(0x58 + 96 + 16, 0x1000, 4);      // the resources' address and size
    put(0x58 + 96 + 20, 0x100, 4);
    image.replace(0x138, 5, ".rsrc");
    put(0x138 + 8, 0x100, 4);
    put(0x138 + 12, 0x1000, 4);
    put(0x138 + 16, 0x100, 4);
    put(0x138 + 20, 0x200, 4);
    put(0x200 + 14, 1, 2);               // the root: one numbered type, the dialogs
    put(0x200 + 16, 5, 4);
    put(0x200 + 20, 0x80000018, 4);
    put(0x218 + 12, 1, 2);               // the dialogs: one named entry
    put(0x218 + 16, 0x80000040, 4);
    put(0x218 + 20, 0x80000060, 4);
    put(0x240, (unsigned)strlen(dialog), 2);
    for (size_t i = 0; dialog[i]; i++)
        put(0x242 + 2 * i, (unsigned char)dialog[i], 2);
    return image;
}

const char SETTINGS[] = "caption \"検査製品\"\nmaker \"検査工房\"\ntitle \"CheckGame\"\nbland \"CheckSoft\"\n";
const char LIST[] = "\"標準\", 1, \"game.exe\"\n\"data\" -> \"\"\n";

// A sound medium with the named files replaced (an empty text: left out).
inline std::vector<MediumFile> medium(std::vector<MediumFile> changes)
{
    std::vector<MediumFile> files = {{"setup/install.txt", SETTINGS},
                                     {"setup/filelist0.txt", LIST},
                                     {"setup/installer.exe", program_stand_in()},
                                     {"setup/data/game.exe", "MZ"}};
    for (const MediumFile &change : changes) {
        bool replaced = false;
        for (MediumFile &file : files)
            if (file.path == change.path) {
                file.bytes = change.bytes;
                replaced = true;
            }
        if (!replaced)
            files.push_back(change);
    }
    std::vector<MediumFile> kept;
    for (const MediumFile &file : files)
        if (!file.bytes.empty() || file.path.back() == '/')
            kept.push_back(file);
    return kept;
}

inline std::string small_bitmap()
{
    BmpRecipe recipe;
    recipe.width = 128;
    recipe.height = 128;
    return bmp_bytes(recipe);
}

inline std::string compressed_bitmap()
{
    BmpRecipe recipe;
    recipe.bits = 8;
    recipe.compression = 1;
    return bmp_bytes(recipe);
}

inline std::string list_with(const char *lines)
{
    return std::string(LIST) + lines;
}

inline std::vector<Case> cases()
{
    const std::string long_name(40, 'n');
    const std::string long_title(200, 't');
    // 20 double-byte characters and 44 or 45 more: 64 and 65 characters.
    const std::string japanese_20 = "説明説明説明説明説明説明説明説明説明説明";
    const std::string name_64 = japanese_20 + std::string(40, 'a') + ".txt";
    const std::string name_65 = japanese_20 + std::string(41, 'a') + ".txt";
    return {
        {"clean", medium({}), 0, u8"エラー0件、警告0件\n"},
        {"unterminated_string", medium({{"setup/install.txt",
                                         "caption \"検査製品\nmaker \"m\"\ntitle \"t\"\nbland \"b\"\n"}}),
         2,
         u8"install.txt:1:9: error: 文字列が２行に渡るか途中で終わっています。 [syntax]\n"
         u8"エラー1件、警告0件\n"},
        {"missing_arrow", medium({{"setup/filelist0.txt", "\"標準\", 1, \"game.exe\"\n\"data\" \"\"\n"}}), 2,
         u8"filelist0.txt:2:8: error: ->が来るべきところに->がありません [syntax]\n"
         u8"エラー1件、警告0件\n"},
        {"missing_maker", medium({{"setup/install.txt", "caption \"c\"\ntitle \"t\"\nbland \"b\"\n"}}), 2,
         u8"install.txt:4:1: error: maker文が見つかりません。 [missing-keyword]\n"
         u8"エラー1件、警告0件\n"},
        {"keyword_in_value",
         medium({{"setup/install.txt", "caption \"検査 title 製品\"\nmaker \"m\"\ntitle \"t\"\nbland \"b\"\n"}}), 2,
         u8"install.txt:1:13: error: 文字列が来るべきところに文字列が来ませんでした。 [keyword-in-value]\n"
         u8"エラー1件、警告0件\n"},
        {"list_gap", medium({{"setup/filelist2.txt", LIST}}), 1,
         u8"filelist2.txt: warning: filelist1.txtがないため、filelist2.txtは選択肢に出ません。 [list-gap]\n"
         u8"エラー0件、警告1件\n"},
        {"no_list", medium({{"setup/filelist0.txt", ""}}), 2,
         u8"filelist0.txt: error: filelist0.txtがありません。 [missing-file]\n"
         u8"エラー1件、警告0件\n"},
        {"source_missing", medium({{"setup/filelist0.txt", list_with("\"nothing\" -> \"x\"\n")}}), 2,
         u8"filelist0.txt:3:1: error: コピー元フォルダ\"D:\\setup\\nothing\\\"にアクセス出来ません。 [source-missing]\n"
         u8"エラー1件、警告0件\n"},
        {"source_subfolder", medium({{"setup/data/sub/", ""}}), 2,
         u8"filelist0.txt:2:1: error: コピー元フォルダ\"D:\\setup\\data\\\"にサブフォルダ\"sub\"があります。"
         u8"サブフォルダのコピーはサポートしていません。 [source-subfolder]\n"
         u8"エラー1件、警告0件\n"},
        {"targets_not_copied",
         medium({{"setup/filelist0.txt",
                  "\"標準\", 1, \"missing.exe\"\n\"data\" -> \"\"\nshortcut \"遊ぶ\", \"data\\game.exe\"\n"}}),
         1,
         u8"filelist0.txt:1:10: warning: ゲームプログラム\"missing.exe\"はどのコピー文でもコピーされません。"
         u8" [target-not-copied]\n"
         u8"filelist0.txt:3:16: warning: ショートカットの対象\"data\\game.exe\"はどのコピー文でもコピーされません。"
         u8" [target-not-copied]\n"
         u8"エラー0件、警告2件\n"},
        {"check_file_missing",
         medium({{"setup/filelist0.txt", list_with("change \"ディスク2\", \"checkgame2.txt\"\n\"data2\" -> \"\"\n")},
                 {"data2/readme.txt", "2"}}),
         1,
         u8"filelist0.txt:3:17: warning: 確認ファイル\"D:\\checkgame2.txt\"がメディアのどのフォルダにもありません。"
         u8"インストーラはディスクを求め続けます。 [check-file-missing]\n"
         u8"エラー0件、警告1件\n"},
        {"size_rounded_up", medium({{"setup/data/big.dat", std::string(1048576, 'b')}}), 1,
         u8"filelist0.txt:1:7: warning: filelist0.txtのサイズは1Mbと書かれていますが、"
         u8"コピーするファイルは合わせて2Mbです。 [size-mismatch]\n"
         u8"エラー0件、警告1件\n"},
        {"bitmap_size", medium({{"setup/installer.bmp", small_bitmap()}}), 1,
         u8"installer.bmp: warning: installer.bmpの大きさが128×128です。256×256の絵だけがちょうど表示されます。"
         u8" [bitmap]\n"
         u8"エラー0件、警告1件\n"},
        {"bitmap_compressed", medium({{"setup/installer.bmp", compressed_bitmap()}}), 1,
         u8"installer.bmp: warning: installer.bmpは圧縮されています。圧縮していないBMPだけが表示されます。"
         u8"絵は表示されません。 [bitmap]\n"
         u8"エラー0件、警告1件\n"},
        {"comment_too_long", medium({{"setup/comment.txt", std::string(50001, 'a')}}), 1,
         u8"comment.txt:1:50001: warning: comment.txtが50,000バイトを超えています。ここから後は表示されません。"
         u8" [comment-too-long]\n"
         u8"エラー0件、警告1件\n"},
        {"composed_path_too_long",
         medium({{"setup/install.txt", "caption \"c\"\nmaker \"m\"\ntitle \"" + long_title + "\"\nbland \"CheckSoft\"\n"},
                 {"setup/data/" + long_name, "x"}}),
         2,
         u8"filelist0.txt:2:11: error: コピー先ファイルのパスが長すぎます。259バイトまでです。 [too-long]\n"
         u8"エラー1件、警告0件\n"},
        {"six_shortcuts",
         medium({{"setup/filelist0.txt",
                  list_with("shortcut \"1\", \"game.exe\"\nshortcut \"2\", \"game.exe\"\nshortcut \"3\", \"game.exe\"\n"
                            "shortcut \"4\", \"game.exe\"\nshortcut \"5\", \"game.exe\"\nshortcut \"6\", \"game.exe\"\n")}}),
         2,
         u8"filelist0.txt:8:1: error: ショートカットは５つまでしか作れません。 [too-many-shortcuts]\n"
         u8"エラー1件、警告0件\n"},
        {"crlf_line_ends", medium({{"setup/install.txt", "caption \"c\"\r\nmaker m\r\ntitle \"t\"\r\nbland \"b\"\r\n"}}),
         2,
         u8"install.txt:2:7: error: 文字列が来るべきところに文字列が来ませんでした。 [syntax]\n"
         u8"エラー1件、警告0件\n"},
        {"targets_outside",
         medium({{"setup/filelist0.txt", list_with("\"data\" -> \"..\\outside\"\nshortcut \"..\\遊ぶ\", \"game.exe\"\n")}}),
         2,
         u8"filelist0.txt:3:11: error: コピー先フォルダ\"..\\outside\"からは、アンインストールで削除できるパスを作れません。"
         u8" [target-outside]\n"
         u8"エラー1件、警告0件\n"},
        {"shortcut_outside", medium({{"setup/filelist0.txt", list_with("shortcut \"..\\遊ぶ\", \"game.exe\"\n")}}), 2,
         u8"filelist0.txt:3:10: error: ショートカット名\"..\\遊ぶ\"からは、アンインストールで削除できるパスを作れません。"
         u8" [target-outside]\n"
         u8"エラー1件、警告0件\n"},
        {"value_not_plain",
         medium({{"setup/install.txt", "caption \"検査製品\"\nmaker \"..\"\ntitle \"CheckGame\"\nbland \"CheckSoft\"\n"}}), 2,
         u8"install.txt:2:7: error: maker文の値\"..\"からは、アンインストールで削除できるパスを作れません。 [not-plain]\n"
         u8"エラー1件、警告0件\n"},
        {"invalid_byte_in_settings",
         medium({{"setup/install.txt", "caption \"検査\x80製品\"\nmaker \"検査工房\"\ntitle \"CheckGame\"\nbland \"CheckSoft\"\n"}}), 2,
         u8"install.txt:1:12: error: install.txtの値に、シフトJISとして読めないバイトがあります。 [invalid-byte]\n"
         u8"エラー1件、警告0件\n"},
        {"invalid_byte_in_list", medium({{"setup/filelist0.txt", list_with("\"data\" -> \"a\x81\"\n")}}), 2,
         u8"filelist0.txt:3:13: error: filelist0.txtの値に、シフトJISとして読めないバイトがあります。 [invalid-byte]\n"
         u8"エラー1件、警告0件\n"},
        {"joliet_name_too_long", medium({{"extra/" + name_64, "64"}, {"extra/" + name_65, "65"}}), 2,
         u8"D:\\extra\\説明説明説明説明説明説明説明説明説明説明aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.txt: error: "
         u8"名前が65文字あります。CDのイメージ（Joliet）に入る名前は64文字までです。 [image-name-too-long]\n"
         u8"エラー1件、警告0件\n"},
        {"joliet_character", medium({{"extra/save;1.dat", "x"}}), 2,
         u8"D:\\extra\\save;1.dat: error: 名前の「;」はCDのイメージ（Joliet）に入りません。* / : ; ? \\ は使えません。"
         u8" [image-name-character]\n"
         u8"エラー1件、警告0件\n"},
        {"folder_too_deep", medium({{"extra/1/2/3/4/5/6/", ""}, {"extra/1/2/3/4/5/6/7/", ""}}), 2,
         u8"D:\\extra\\1\\2\\3\\4\\5\\6\\7: error: フォルダがルートから8段目にあります。"
         u8"CDのイメージ（ISO 9660）のフォルダは7段までです。 [image-folder-too-deep]\n"
         u8"エラー1件、警告0件\n"},
        {"names_differing_in_case",
         medium({{"extra/Readme.txt", "1"}, {"extra/README.TXT", "2"}, {"extra/ＤａｔａΩ", "3"}, {"extra/ｄＡＴＡω", "4"}}),
         2,
         u8"D:\\extra\\Readme.txt: error: 名前が\"README.TXT\"と大文字小文字しか違いません。"
         u8"CDからはWindowsが二つを区別できません。 [image-name-case]\n"
         u8"D:\\extra\\ｄＡＴＡω: error: 名前が\"ＤａｔａΩ\"と大文字小文字しか違いません。"
         u8"CDからはWindowsが二つを区別できません。 [image-name-case]\n"
         u8"エラー2件、警告0件\n",
         true},
        {"text_after_the_end", medium({{"setup/filelist0.txt", list_with("Shortcut \"s\", \"game.exe\"\n")}}), 1,
         u8"filelist0.txt:3:1: warning: ファイルリストはここで終わります。この後の文は読まれません。 [list-end]\n"
         u8"エラー0件、警告1件\n"},
        // Saved as UTF-8: the byte-order mark, or UTF-8 text beyond ASCII.
        {"utf8_mark", medium({{"setup/install.txt", std::string("\xEF\xBB\xBF") + SETTINGS}}), 2,
         u8"install.txt:1:1: error: UTF-8で保存されています。Shift-JIS（コードページ932）で保存してください。 [encoding]\n"
         u8"install.txt:5:1: error: caption文が見つかりません。 [missing-keyword]\n"
         u8"エラー2件、警告0件\n"},
        {"utf8_text", medium({{"setup/filelist0.txt", "\"\xE6\xA8\x99\xE6\xBA\x96\", 1, \"game.exe\"\n\"data\" -> \"\"\n"},
                              {"setup/comment.txt", "\xE3\x81\x82\r\n"}}), 2,
         u8"comment.txt:1:1: error: UTF-8で保存されています。Shift-JIS（コードページ932）で保存してください。 [encoding]\n"
         u8"filelist0.txt:1:2: error: UTF-8で保存されています。Shift-JIS（コードページ932）で保存してください。 [encoding]\n"
         // The value's UTF-8 bytes end in a lead byte before the quote.
         u8"filelist0.txt:1:5: error: filelist0.txtの値に、シフトJISとして読めないバイトがあります。 [invalid-byte]\n"
         u8"エラー3件、警告0件\n"},
        {"comment_line_feeds", medium({{"setup/comment.txt", "一行目\r\n二行目\n三行目\n"}}), 1,
         u8"comment.txt:2:4: warning: 改行がLFだけです。CR LFで保存しないと、オプションの画面で行が分かれません。"
         u8" [line-ends]\n"
         u8"エラー0件、警告1件\n"},
        {"program_missing", medium({{"setup/installer.exe", ""}}), 2,
         u8"installer.exe: error: installer.exeがinstall.txtと同じフォルダにありません。"
         u8"プレイヤーはインストールを始められません。 [program-missing]\n"
         u8"エラー1件、警告0件\n"},
        {"program_text", medium({{"setup/installer.exe", "copy the program here"}}), 1,
         u8"installer.exe: warning: installer.exeはこのインストーラではありません（Windowsのプログラムではありません）。"
         u8"build/installer.exeをコピーしてください。 [program-kind]\n"
         u8"エラー0件、警告1件\n"},
        {"program_console", medium({{"setup/installer.exe", program_stand_in(0x14c, 3)}}), 1,
         u8"installer.exe: warning: installer.exeはこのインストーラではありません（GUIのプログラムではありません）。"
         u8"build/installer.exeをコピーしてください。 [program-kind]\n"
         u8"エラー0件、警告1件\n"},
        {"program_arm", medium({{"setup/installer.exe", program_stand_in(0x1c4)}}), 1,
         u8"installer.exe: warning: installer.exeはこのインストーラではありません（x86用のプログラムではありません）。"
         u8"build/installer.exeをコピーしてください。 [program-kind]\n"
         u8"エラー0件、警告1件\n"},
        {"program_other_gui", medium({{"setup/installer.exe", program_stand_in(0x14c, 2, "IDD_GAMEDLG")}}), 1,
         u8"installer.exe: warning: installer.exeはこのインストーラではありません（ダイアログIDD_INSTDLGがありません）。"
         u8"build/installer.exeをコピーしてください。 [program-kind]\n"
         u8"エラー0件、警告1件\n"},
        // '|' as the second byte of a double-byte character (ポ is 0x83 0x7C)
        // is part of it; as a character of its own it is no name.
        {"names_no_file_can_have",
         medium({{"setup/install.txt", "caption \"ポ検査\"\nmaker \"検査<工房>\"\ntitle \"Check|Game\"\nbland \"CheckSoft\"\n"},
                 {"setup/filelist0.txt", list_with("shortcut \"遊ぶ?\", \"game.exe\"\n")}}),
         2,
         u8"install.txt:2:10: error: makerの「<」はファイルやフォルダの名前に使えません。"
         u8"スタートメニューのフォルダもショートカットも作られません。 [name-character]\n"
         u8"install.txt:3:13: error: titleの「|」はファイルやフォルダの名前に使えません。"
         u8"インストール先のフォルダが作れません。 [name-character]\n"
         u8"filelist0.txt:3:13: error: ショートカット名の「?」はファイルやフォルダの名前に使えません。"
         u8"このショートカットは作られません。 [name-character]\n"
         u8"エラー3件、警告0件\n"},
        {"check_file_generic",
         medium({{"setup/filelist0.txt", list_with("change \"ディスク2\", \"CD-2.TXT\"\n\"data2\" -> \"\"\n")},
                 {"CD-2.TXT", "2"}, {"data2/readme.txt", "2"}}),
         1,
         u8"filelist0.txt:3:17: warning: 確認ファイル\"CD-2.TXT\"は多くのディスクにある名前です。"
         u8"ほかの製品のディスクでも入れ替えが進んでしまいます。製品の名前を入れてください。 [check-file-generic]\n"
         u8"エラー0件、警告1件\n"},
    };
}

// The JSON form of the keyword_in_value report.
const char KEYWORD_IN_VALUE_JSON[] =
    u8"{\"errors\": 1, \"warnings\": 0, \"findings\": [\n"
    u8"  {\"severity\": \"error\", \"file\": \"install.txt\", \"line\": 1, \"column\": 13, "
    u8"\"kind\": \"keyword-in-value\", \"message\": \"文字列が来るべきところに文字列が来ませんでした。\"}\n"
    u8"]}\n";

}  // namespace checker_media
