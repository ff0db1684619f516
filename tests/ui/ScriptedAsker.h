#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "ui/PoboQuestion.h"

namespace kivora::test {

// Stands in for the player at ポボゴム's box: records every text shown and
// answers from a queue (了解 once the queue is empty). `during` runs while
// the box is "open", as the campaign timer can.
struct ScriptedAsker {
  QStringList texts;
  std::deque<bool> answers;
  std::function<void()> during;

  QuestionAsker Asker() {
    return [this](const QString& text, QWidget*) {
      texts << text;
      if (during) during();
      if (answers.empty()) return true;
      const bool answer = answers.front();
      answers.pop_front();
      return answer;
    };
  }
};

}  // namespace kivora::test
