// The command table of a window: which member handler answers which control (or menu
// item) and notification. One table per window, looked up by Dispatch when the window
// hears of a command.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorta::forms {

// The notification code of a menu item's command.
inline constexpr int kMenuItem = 0;

template <typename Form>
struct Command {
    int id;    // the control or menu item; the first of a control array
    int code;  // the notification (a click, a selection, a change) or kMenuItem
    void (Form::*handler)() = nullptr;
    // A control array: `count` ids from `id` on, one handler told the element's index.
    std::size_t count = 1;
    void (Form::*elementHandler)(std::size_t index) = nullptr;
};

template <typename Form>
constexpr Command<Form> On(int id, int code, void (Form::*handler)()) {
    return {id, code, handler};
}

template <typename Form>
constexpr Command<Form> OnArray(int firstId, std::size_t count, int code,
                                void (Form::*handler)(std::size_t)) {
    return {firstId, code, nullptr, count, handler};
}

// Calls the handler for the command `id` with the notification `code`: the first entry
// of `table` that takes both. False when none does.
template <typename Form, typename Table>
bool Dispatch(Form& form, const Table& table, int id, int code) {
    for (const Command<Form>& command : table) {
        if (command.code != code || id < command.id) continue;
        const auto index = static_cast<std::size_t>(id - command.id);
        if (index >= command.count) continue;
        if (command.elementHandler != nullptr)
            (form.*command.elementHandler)(index);
        else
            (form.*command.handler)();
        return true;
    }
    return false;
}

}  // namespace vorta::forms
