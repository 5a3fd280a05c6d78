// Every text the installer shows, in one table: each message box and fatal
// error with its caption and text, the names that fill the too-long text,
// and the other texts a player sees. The program, medium-check and the
// guide's tests all read this table, so a text is written once and a fatal
// error is known by its kind, never by its words. Texts are code page 932;
// a text with %s, %d or %c is a printf pattern.
#pragma once

enum class Msg : int {
    // Fatal errors: captioned "エラー", the program ends when it is closed.
    windows_folder_too_long,
    temp_folder_not_made,
    temp_folder_too_long,
    installer_path_too_long,
    installer_not_copied,
    unheld_installer_path,
    command_line_too_long,
    install_txt_missing,
    caption_missing,
    maker_missing,
    title_missing,
    string_expected,
    string_broken,
    comma_expected,
    arrow_expected,
    too_long,
    record_keys_too_long,
    options_title_too_long,
    drive_name_too_long,
    default_folder_too_long,
    filelist0_missing,
    option_name_too_long,
    list_path_too_long,
    list_not_opened,
    log_not_made,
    log_line_too_long,
    no_drive_letter,
    list_error,
    too_many_shortcuts,
    source_folder_missing,
    source_subfolder,
    source_unheld_name,
    source_too_many,
    out_of_memory,
    copy_text_too_long,
    write_failed,
    copy_failed,
    // The names that fill too_long: a fatal error raised for one of them
    // carries the name's kind.
    string_name,
    word_name,
    program_path_name,
    check_file_path_name,
    disc_name_name,
    source_folder_path_name,
    target_folder_path_name,
    source_file_path_name,
    target_file_path_name,
    // Message boxes.
    second_instance,
    install_folder_not_absolute,
    install_folder_too_long,
    unheld_install_folder,
    picked_folder_too_long,
    install_folder_exists,
    install_folder_create,
    install_folder_not_made,
    log_unreadable,
    log_long_line,
    log_too_many_lines,
    log_broken,
    disc_prompt,
    disc_cancel,
    same_file,
    shortcuts_not_made,
    directx_question,
    exec_message,
    uninstall_question,
    uninstalled,
    uninstall_failed,
    // Other texts: a window's title and an option's item.
    options_title,
    option_item,
    folder_picker_title,
    count
};

enum class MsgGroup : int { fatal, name, box, other };

struct Message {
    Msg id;                 // its own place in MESSAGES
    MsgGroup group;
    const char *kind;       // a stable English name
    const char *caption;    // a box's caption; null for other texts
    const char *text;       // null where the box shows a value of install.txt
};

extern const Message MESSAGES[(int)Msg::count];

inline const Message &message(Msg id)
{
    return MESSAGES[(int)id];
}

inline const char *text_of(Msg id)
{
    return message(id).text;
}

inline const char *caption_of(Msg id)
{
    return message(id).caption;
}
