// In-process robot for message boxes and dialogs: a CBT hook on the calling
// thread sees every window of class "#32770" as it is activated, records it
// and answers it from a script. Each box is also printed to standard error in
// hex, so a death test can match a fatal box in the dying child's output.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/box_pattern.h"

struct BoxRecord {
    HWND window;
    HWND owner;
    std::string caption;          // code page 932 bytes, as the box shows them
    std::string text;             // the static text (message boxes)
    std::vector<int> button_ids;
    bool is_message_box;
};

class BoxRobot {
public:
    BoxRobot();
    ~BoxRobot();
    BoxRobot(const BoxRobot &) = delete;
    BoxRobot &operator=(const BoxRobot &) = delete;

    // Answers for the coming message boxes, in order (IDOK, IDYES, ...).
    // A message box with no answer left is answered with its first button.
    void answer(int id) { answers_.push_back(id); }
    void answer(std::initializer_list<int> ids) { answers_.insert(answers_.end(), ids); }

    // While set, no window of this thread can be created: every box and
    // dialog fails as one that cannot be shown.
    bool refuse_windows = false;

    // Called for every dialog that is not a message box, as it activates.
    std::function<void(HWND)> on_dialog;

    std::vector<BoxRecord> boxes;     // message boxes seen, in order
    std::vector<HWND> dialogs;        // other dialogs seen, in order

    static BoxRobot *current;
    void activated(HWND window);

private:
    HHOOK hook_;
    std::vector<int> answers_;
    size_t next_answer_ = 0;
};

