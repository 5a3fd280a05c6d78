// Texts medium-make writes into the control files it makes, which players
// then see: kept beside the program's own catalogue.
#pragma once

// A later disc's name in its change statement follows the title.
inline constexpr char made_disc_name_word[] = " ディスク";
// The option's name when the publisher names none.
inline constexpr char made_whole_option_name[] = "すべて";
