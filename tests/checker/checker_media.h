// Media with one kind of problem each, and the report medium-check must give
// for them, shared by the native tests, the Win32 tests (the same report from
// medium-check.exe under Wine) and the end-to-end agreement with the
// installer. File texts are code page 932 (the sources' execution character
// set); reports are UTF-8 (u8 literals), as the tool prints them.
#pragma once

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

const char SETTINGS[] = "caption \"検査製品\"\nmaker \"検査工房\"\ntitle \"CheckGame\"\nbland \"CheckSoft\"\n";
const char LIST[] = "\"標準\", 1, \"game.exe\"\n\"data\" -> \"\"\n";

// A sound medium with the named files replaced (an empty text: left out).
inline std::vector<MediumFile> medium(std::vector<MediumFile> changes)
{
    std::vector<MediumFile> files = {{"setup/install.txt", SETTINGS},
                                     {"setup/filelist0.txt", LIST},
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
         u8"filelist0.txt:2:1: error: コピー元フォルダにサブフォルダがあります。サブフォルダのコピーはサポートしていません。"
         u8" [source-subfolder]\n"
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
         medium({{"setup/filelist0.txt", list_with("change \"ディスク2\", \"disk2.txt\"\n\"data2\" -> \"\"\n")},
                 {"data2/readme.txt", "2"}}),
         1,
         u8"filelist0.txt:3:17: warning: 確認ファイル\"D:\\disk2.txt\"がメディアのどのフォルダにもありません。"
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
    };
}

// The JSON form of the keyword_in_value report.
const char KEYWORD_IN_VALUE_JSON[] =
    u8"{\"errors\": 1, \"warnings\": 0, \"findings\": [\n"
    u8"  {\"severity\": \"error\", \"file\": \"install.txt\", \"line\": 1, \"column\": 13, "
    u8"\"kind\": \"keyword-in-value\", \"message\": \"文字列が来るべきところに文字列が来ませんでした。\"}\n"
    u8"]}\n";

}  // namespace checker_media
