// Answers the tool's dialogs from queues, as a person would, and records
// what was asked. An empty queue answers "cancel" (or "no", or the last
// of the answers offered).
#pragma once

#include <QColor>
#include <QString>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "Tool/DialogUi.h"

class FakeDialogUi : public DialogUi {
public:
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<QColor>> colors;
    std::deque<bool> confirmations;
    std::deque<int> choices;  // indexes into the answers offered

    std::vector<FileRequest> fileRequests;
    std::vector<QColor> colorRequests;
    std::vector<QString> questions;
    std::vector<std::pair<QString, QString>> messages;            // title, text
    std::vector<std::pair<QString, QStringList>> choiceRequests;  // title, answers

    std::optional<QString> PickFile(const FileRequest& request) override {
        fileRequests.push_back(request);
        return Take(files);
    }
    std::optional<QColor> PickColor(const QColor& initial) override {
        colorRequests.push_back(initial);
        return Take(colors);
    }
    bool Confirm(const QString&, const QString& question) override {
        questions.push_back(question);
        return Take(confirmations).value_or(false);
    }
    void Message(const QString& title, const QString& text) override { messages.emplace_back(title, text); }
    int Choose(const QString& title, const QString&, const QStringList& answers) override {
        choiceRequests.emplace_back(title, answers);
        if (choices.empty()) return static_cast<int>(answers.size()) - 1;
        const int answer = choices.front();
        choices.pop_front();
        return answer;
    }

private:
    template <typename T>
    static std::optional<T> Take(std::deque<std::optional<T>>& queue) {
        std::optional<T> answer;
        if (queue.empty()) return answer;
        answer.swap(queue.front());
        queue.pop_front();
        return answer;
    }
    static std::optional<bool> Take(std::deque<bool>& queue) {
        if (queue.empty()) return std::nullopt;
        const bool answer = queue.front();
        queue.pop_front();
        return answer;
    }
};
