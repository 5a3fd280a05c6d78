// Removal of an install from its log and its registry record.
#pragma once

// Reads the log named by the record's gamedir, deletes every logged file,
// then removes every logged folder in log order, deletes the log and removes
// the record. 1 when the log was read and processed; 0, with nothing
// changed, when it could not be read (the reader has told the user why).
int uninstall(void);
