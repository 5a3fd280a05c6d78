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
    CHECK_TEXT(program_not_copied, "ゲームプログラム\"%s\"はどのコピー文でもコピーされません。"),
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
    CHECK_TEXT(saved_as_utf8, "UTF-8で保存されています。Shift-JIS（コードページ932）で保存してください。"),
    CHECK_TEXT(line_feeds_alone, "改行がLFだけです。CR LFで保存しないと、オプションの画面で行が分かれません。"),
    CHECK_TEXT(program_missing, "installer.exeがinstall.txtと同じフォルダにありません。"
                                "プレイヤーはインストールを始められません。"),
    CHECK_TEXT(program_kind, "installer.exeはこのインストーラではありません（%s）。build/installer.exeをコピーしてください。"),
    CHECK_TEXT(program_not_windows, "Windowsのプログラムではありません"),
    CHECK_TEXT(program_other_machine, "x86用のプログラムではありません"),
    CHECK_TEXT(program_console, "GUIのプログラムではありません"),
    CHECK_TEXT(program_other_gui, "ダイアログIDD_INSTDLGがありません"),
    CHECK_TEXT(name_character, "%sの「%c」はファイルやフォルダの名前に使えません。%s"),
    CHECK_TEXT(names_start_menu, "スタートメニューのフォルダもショートカットも作られません。"),
    CHECK_TEXT(names_install_folder, "インストール先のフォルダが作れません。"),
    CHECK_TEXT(names_shortcut, "このショートカットは作られません。"),
    CHECK_TEXT(shortcut_name_word, "ショートカット名"),
    CHECK_TEXT(check_file_generic, "確認ファイル\"%s\"は多くのディスクにある名前です。"
                                   "ほかの製品のディスクでも入れ替えが進んでしまいます。製品の名前を入れてください。"),
    CHECK_TEXT(directx_placement, "オプション「%s」（filelist%d.txt）は%d枚目のディスクでコピーを終えますが、"
                                  "そのディスクにはDirectX\\dxsetup.exeがありません。"
                                  "このオプションではDirectXのインストールを聞かれません。"),
    CHECK_TEXT(source_subfolder_named, "コピー元フォルダ\"%s\"にサブフォルダ\"%s\"があります。"
                                       "サブフォルダのコピーはサポートしていません。"),
};
