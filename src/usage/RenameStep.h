#pragma once

#include "document/DocumentStep.h"
#include "usage/RenameCommands.h"

#include <functional>
#include <string>
#include <utility>

namespace skarvel {

// One rename as a step of the window's history: undone by taking it back, redone by making
// it again on the files as they are then.
class RenameStep final : public DocumentStep {
public:
    // shown: the page shows the renames pending now; refused: why a redo could not rename.
    RenameStep(RenameCommands& renames, std::string from, std::string to,
               std::function<void()> shown, std::function<void(const std::string&)> refused)
        : renames_(renames), from_(std::move(from)), to_(std::move(to)), shown_(std::move(shown)),
          refused_(std::move(refused)) {}

    std::string text() const override { return "rename of " + from_ + " to " + to_; }
    void undo() override {
        renames_.undoLast();
        shown_();
    }
    void redo() override {
        if (const std::string refusal = renames_.rename(from_, to_); !refusal.empty()) {
            refused_(refusal);
        }
        shown_();
    }

private:
    RenameCommands& renames_;
    std::string from_;
    std::string to_;
    std::function<void()> shown_;
    std::function<void(const std::string&)> refused_;
};

} // namespace skarvel
