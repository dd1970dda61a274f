// Boxes that answer themselves, for runs nobody sits at (screenshots, benchmarks):
// every message box takes its default answer, OK or Yes, and the Goto box its
// default text. Each box's text goes to a sink, if one is given, so the run can log it.
#pragma once

#include <functional>

#include "editors/dialogs.h"

namespace ui {

class AnsweringDialogs : public editors::Dialogs {
public:
    using Sink = std::function<void(const QString& text)>;

    explicit AnsweringDialogs(Sink sink = {}) : sink_(std::move(sink)) {}

    editors::Answer message(const QString& text, const QString&, editors::Buttons buttons) override {
        if (sink_) sink_(text);
        return buttons == editors::Buttons::Ok ? editors::Answer::Ok : editors::Answer::Yes;
    }

    std::optional<QString> input(const QString& prompt, const QString&, const QString& defaultAnswer) override {
        if (sink_) sink_(prompt);
        return defaultAnswer;
    }

private:
    Sink sink_;
};

}  // namespace ui
