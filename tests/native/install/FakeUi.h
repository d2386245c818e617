#pragma once
// A Ui that records what the program would show; EndProgram throws, since the
// real one never returns.
#include <string>
#include <vector>

#include "platform/Text.h"
#include "platform/Ui.h"

namespace orvitex::testing {

struct ProgramEnded {
    int exitCode;
};

class FakeUi : public platform::Ui {
public:
    struct Message {
        std::u16string text;
        platform::MessageIcon icon;
    };
    std::vector<Message> messages;
    std::vector<std::string>* journal = nullptr;  // shared with other fakes, in order

    void ShowMessage(std::u16string_view text, platform::MessageIcon icon) override {
        messages.push_back({std::u16string(text), icon});
        Note("message " + ToUtf8(text));
    }
    void SetBusyPointer(bool busy) override { Note(busy ? "busy" : "not busy"); }
    [[noreturn]] void EndProgram(int exitCode) override {
        Note("end " + std::to_string(exitCode));
        throw ProgramEnded{exitCode};
    }

private:
    void Note(std::string entry) {
        if (journal)
            journal->push_back(std::move(entry));
    }
};

}  // namespace orvitex::testing
