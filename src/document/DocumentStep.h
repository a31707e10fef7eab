#pragma once

#include <functional>
#include <string>
#include <utility>

namespace skarvel {

// One step of the document's undo history, for the pages whose changes are their own list
// (the Fleet page, the prices): what an undo puts back and a redo makes again. The window's
// undo stack wraps it; the steps of every page share that one stack, in the order made.
class DocumentStep {
public:
    virtual ~DocumentStep() = default;
    // What the step changed, for "Undo <text>": "hold_size of 6 ships".
    virtual std::string text() const = 0;
    virtual void undo() = 0;
    virtual void redo() = 0;
};

// A step between two states of a page's changes, shown by the page's own function.
template <typename State> class StateStep final : public DocumentStep {
public:
    StateStep(std::string text, State before, State after, std::function<void(const State&)> show)
        : text_(std::move(text)), before_(std::move(before)), after_(std::move(after)),
          show_(std::move(show)) {}

    std::string text() const override { return text_; }
    void undo() override { show_(before_); }
    void redo() override { show_(after_); }

private:
    std::string text_;
    State before_;
    State after_;
    std::function<void(const State&)> show_;
};

} // namespace skarvel
