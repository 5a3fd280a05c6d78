// install.txt: the product's identity, looked up by keyword.
#pragma once

// Reads the first 65,536 bytes of "install.txt" (current directory, text
// mode) into SettingsText; ends the program when the file does not open.
void load_settings(void);

// 1 and the keyword's quoted value in `value` (`value_size` bytes) when a
// statement with that keyword exists in SettingsText, else 0 (and `value`
// is then not to be used).
int find_setting(const char *keyword, char *value, int value_size);

// Called once caption, maker and execmessage are known, before title and
// bland are looked up (the launcher puts the caption on its window then).
typedef void (*CaptionFound)(const char *caption, void *context);

// Loads install.txt and fills caption, maker, execmessage, title and bland
// of the process-wide record, ending the program when a required one is
// missing. The launcher does this when it opens. `caption_found` may be NULL.
void load_product_settings(CaptionFound caption_found = nullptr, void *context = nullptr);
