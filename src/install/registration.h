// What the install command does once the options dialog has carried out the
// copy: the log lines, the Start-menu folder and shortcuts, the record.
#pragma once

// Appends the caption and registry-key lines, creates and logs the Start-menu
// folders and shortcuts when the user's Programs folder is known, and writes
// instdrv, exepath, instopt and gamedir under product_key, in that order.
// Start-menu paths too long for their buffers are refused with a message and
// leave the Start menu untouched; the record is written all the same.
void register_install(void);
