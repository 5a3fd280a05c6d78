#include "text/checker_texts.h"

#define CHECK_TEXT(id, text) {CheckerText::id, text}

const CheckerTextEntry CHECKER_TEXTS[(int)CheckerText::count] = {
    CHECK_TEXT(truncated, "%sは先頭の%dバイトだけが読まれます。"),
    CHECK_TEXT(keyword_read_late, "%s文の値が、前の文字列の中にある単語%sの後から読まれます。"),
    CHECK_TEXT(comment_too_long, "comment.txtが50,000バイトを超えています。ここから後は表示されません。"),
    CHECK_TEXT(bitmap_short_header, "installer.bmpが54バイトより短く、絵として読めません。"),
    CHECK_TEXT(bitmap_info_size, "installer.bmpの情報ヘッダの大きさ%uバイトは読めません。40から124バイトまでです。"),
    CHECK_TEXT(bitmap_compressed, "installer.bmpは圧縮されています。圧縮していないBMPだけが表示されます。"),
    CHECK_TEXT(bitmap_bit_count, "installer.bmpの%dビットの色は読めません。1、4、8、16、24、32ビットだけが表示されます。"),
    CHECK_TEXT(bitmap_size_unreadable, "installer.bmpの大きさ%d×%dは読めません。"),
    CHECK_TEXT(bitmap_not_shown, "絵は表示されません。"),
    CHECK_TEXT(bitmap_not_256, "installer.bmpの大きさが%d×%dです。256×256の絵だけがちょうど表示されます。"),
    CHECK_TEXT(bitmap_pixel_offset, "installer.bmpの画素が%lldバイト目から始まっています。色表の直後（%lldバイト目）から"
                              "始まる絵だけが正しく表示されます。"),
    CHECK_TEXT(bitmap_pixels_short, "installer.bmpの画素が足りません。%lldバイト必要ですが%lluバイトしかありません。"),
    CHECK_TEXT(source_is_file, "コピー元\"%s\"はフォルダではありません。何もコピーされません。"),
    CHECK_TEXT(target_outside, "コピー先\"%.*s\"はインストール先のフォルダの外を指しています。"
                         "そこにコピーされたファイルはアンインストールで削除されません。"),
    CHECK_TEXT(program_not_copied, "ゲームプログラム\"%s\"はどのコピー文でもコピーされません。"),
    CHECK_TEXT(shortcut_name_outside, "ショートカット名\"%s\"はスタートメニューのフォルダの外を指しています。"
                                "アンインストールで削除されません。"),
    CHECK_TEXT(shortcut_target_outside, "ショートカットの対象\"%s\"はインストール先のフォルダの外を指しています。"),
    CHECK_TEXT(shortcut_target_not_copied, "ショートカットの対象\"%s\"はどのコピー文でもコピーされません。"),
    CHECK_TEXT(size_mismatch, "filelist%d.txtのサイズは%dMbと書かれていますが、コピーするファイルは合わせて%lluMbです。"),
    CHECK_TEXT(check_file_missing, "確認ファイル\"%s\"がメディアのどのフォルダにもありません。"
                             "インストーラはディスクを求め続けます。"),
    CHECK_TEXT(list_end, "ファイルリストはここで終わります。この後の文は読まれません。"),
    CHECK_TEXT(list_gap, "filelist%d.txtがないため、%sは選択肢に出ません。"),
    CHECK_TEXT(image_on_disc, "%d枚目のディスクの%s"),
    CHECK_TEXT(image_name_too_long, "名前が%d文字あります。CDのイメージ（Joliet）に入る名前は%d文字までです。"),
    CHECK_TEXT(image_name_character, "名前の「%c」はCDのイメージ（Joliet）に入りません。* / : ; ? \\ は使えません。"),
    CHECK_TEXT(image_name_case, "名前が\"%s\"と大文字小文字しか違いません。CDからはWindowsが二つを区別できません。"),
    CHECK_TEXT(image_folder_too_deep, "フォルダがルートから%d段目にあります。CDのイメージ（ISO 9660）のフォルダは%d段までです。"),
    CHECK_TEXT(summary, "エラー%d件、警告%d件\n"),
};
