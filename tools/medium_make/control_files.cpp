#include "control_files.h"

#include <string.h>

#include "core/file_list_script.h"
#include "core/install_rules.h"
#include "layout.h"
#include "base/fatal.h"
#include "script/settings.h"
#include "base/format_fits.h"
#include "state/install_state.h"
#include "text/messages.h"
#include "text.h"

// ---- writing ----

static std::string statement(const char *keyword, const std::string &value)
{
    return std::string(keyword) + " \"" + value + "\"\r\n";
}

std::string settings_text(const MakeRequest &request)
{
    std::string text = statement("caption", request.caption) + statement("maker", request.maker);
    if (request.has_execmessage)
        text += statement("execmessage", request.execmessage);
    return text + statement("title", request.title) + statement("bland", request.brand);
}

std::string file_list_text(const MakeRequest &request, const GameTree &tree, const MediumPlan &plan, int n)
{
    const OptionPlan &option = plan.options[n];
    std::string text = "\"" + option.name + "\", " + std::to_string(option.megabytes) + ", \"" + request.program
                       + "\"\r\n";
    for (int s : option.shortcuts)
        text += "shortcut \"" + request.shortcuts[s].name + "\", \"" + request.shortcuts[s].target + "\"\r\n";
    int disc = 1;
    for (const DiscFolder &folder : plan.folders) {
        if (!(folder.options & (1u << n)))
            continue;
        if (folder.disc != disc) {
            disc = folder.disc;
            text += "change \"" + disc_name(request.title, disc) + "\", \"" + check_file_name(request.title, disc)
                    + "\"\r\n";
        }
        // Before a change the source is below the program's folder, after
        // one below the disc root: the data folder stands in both places.
        text += "\"" + std::string(DATA_FOLDER) + "\\" + folder.name + "\" -> \"" + tree.folders[folder.folder].path
                + "\"\r\n";
    }
    return text;
}

// ---- reading back ----

// The installer's readers end the program on an error; here they throw it
// to the reading-back, which reports it.
struct ReaderStop {
    std::string message;
};

void fatal_error(Msg, const char *text)
{
    throw ReaderStop{text};
}

void show_unowned_message(const char *, const char *) {}

static std::string as_read(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n')
            out += text[i];
    return out;
}

static std::string stopped(const char *file, const std::string &message)
{
    return std::string(file) + ": the installer would stop with \"" + cp932_to_utf8_text(message) + "\"";
}

std::string default_install_folder(const MakeRequest &request)
{
    char parent[PATH_CAPACITY], folder[PATH_CAPACITY], log_path[PATH_CAPACITY];
    if (!compose_default_folder("C:\\WINDOWS", request.brand.c_str(), parent, sizeof parent)
        || !compose_install_folder(parent, request.title.c_str(), folder, log_path, sizeof folder))
        return "";
    return folder;
}

static std::string settings_refusal(const MakeRequest &request, const std::string &text)
{
    struct Lookup {
        const char *keyword;
        const std::string *meant;
        int size;
    } lookups[] = {{"caption", &request.caption, PATH_CAPACITY},
                   {"maker", &request.maker, PATH_CAPACITY},
                   {"execmessage", &request.execmessage, EXEC_MESSAGE_CAPACITY},
                   {"title", &request.title, PATH_CAPACITY},
                   {"bland", &request.brand, PATH_CAPACITY}};
    std::string read = as_read(text);
    format_fits(SettingsText, sizeof SettingsText, "%s", read.c_str());
    for (const Lookup &lookup : lookups) {
        if (!request.has_execmessage && strcmp(lookup.keyword, "execmessage") == 0)
            continue;
        char value[EXEC_MESSAGE_CAPACITY];
        try {
            if (find_setting(lookup.keyword, value, lookup.size) && *lookup.meant == value)
                continue;
        } catch (const ReaderStop &stop) {
            return stopped("install.txt", stop.message);
        }
        return std::string("install.txt: the installer would not read the value of ") + lookup.keyword
               + " as given: a word of an earlier value is that keyword";
    }
    char brand_key[PATH_CAPACITY], product_key[PATH_CAPACITY];
    if (!compose_record_keys(request.brand.c_str(), request.title.c_str(), brand_key, product_key, PATH_CAPACITY))
        return stopped("install.txt", text_of(Msg::record_keys_too_long));
    char parent[PATH_CAPACITY], folder[PATH_CAPACITY], log_path[PATH_CAPACITY];
    if (!compose_default_folder("C:\\WINDOWS", request.brand.c_str(), parent, sizeof parent))
        return stopped("install.txt", text_of(Msg::default_folder_too_long));
    if (!compose_install_folder(parent, request.title.c_str(), folder, log_path, sizeof folder))
        return stopped("install.txt", text_of(Msg::install_folder_too_long));
    return "";
}

struct ReadBack {
    int copies;
};

static int count_copy(void *context, const char *, const char *)
{
    ((ReadBack *)context)->copies++;
    return 1;
}

static int answer_ok(void *, const char *, const char *, int buttons)
{
    return buttons == ASK_OK_CANCEL ? ANSWER_OK : ANSWER_NO;
}

static int always_there(void *, const char *)
{
    return 1;
}

static void no_streams(void *) {}

static std::string list_refusal(const MakeRequest &request, const OptionPlan &option, int n)
{
    std::string file = "filelist" + std::to_string(n) + ".txt";
    if (option.list.size() > SCRIPT_TEXT_BYTES)
        return file + ": " + std::to_string(option.list.size()) + " bytes; the installer reads only the first "
               + std::to_string((int)SCRIPT_TEXT_BYTES) + " (fewer folders in the option, or shorter folder names)";
    std::string read = as_read(option.list);
    format_fits(FileListText, sizeof FileListText, "%s", read.c_str());
    ReadBack back = {0};
    FileListPlaces places = {};
    FileListActions actions = {&back, count_copy, answer_ok, always_there, no_streams, &places};
    InstallState &s = install_state;
    try {
        OptionHeader header;
        read_option_header(FileListText, &header);
        char item[PATH_CAPACITY];
        if (!compose_option_item(&header, item, sizeof item))
        {
            char text[PATH_CAPACITY];
            format_fits(text, sizeof text, text_of(Msg::option_name_too_long), n);
            return stopped(file.c_str(), text);
        }
        if (header.name != option.name || header.megabytes != option.megabytes)
            return file + ": the installer would not read the option's name as given";
        format_fits(s.source_dir, sizeof s.source_dir, "D:\\%s\\", SETUP_FOLDER);
        format_fits(s.install_dir, sizeof s.install_dir, "%s", default_install_folder(request).c_str());
        if (!interpret_file_list(FileListText, &actions) || back.copies != option.statements)
            return file + ": the installer would not run the list as written";
    } catch (const ReaderStop &stop) {
        return stopped(file.c_str(), stop.message);
    }
    for (size_t k = 0; k < option.shortcuts.size(); k++) {
        const ShortcutRequest &shortcut = request.shortcuts[option.shortcuts[k]];
        if (shortcut.name != s.shortcut_names[k] || shortcut.target != s.shortcut_targets[k])
            return file + ": the installer would not read shortcut " + std::to_string(k + 1) + " as given";
    }
    return "";
}

std::string refusal_of_controls(const MakeRequest &request, const MediumPlan &plan)
{
    std::string refusal = settings_refusal(request, plan.settings);
    for (size_t n = 0; refusal.empty() && n < plan.options.size(); n++)
        refusal = list_refusal(request, plan.options[n], (int)n);
    return refusal;
}
