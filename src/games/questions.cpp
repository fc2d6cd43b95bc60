// The question statistics and the dialogue pieces that every game prints the
// same way.
#include "games/questions.hpp"

#include "core/dartanswer.hpp"
#include "core/hints.hpp"
#include "core/waylisting.hpp"

QuestionStats questionstats{};

double percentcorrect() {
  if (questionstats.answeredcorrectly == questionstats.questionsasked) return 100.0;
  if (questionstats.questionsasked == 0) return 0.0;
  return static_cast<double>(questionstats.answeredcorrectly) /
         static_cast<double>(questionstats.questionsasked) * 100.0;
}

void printpercentline() {
  printtext("    Since the program started, you have answered %.1lf%% of %llu questions.\n",
            percentcorrect(), questionstats.questionsasked);
}

void printgamescore(qword score, qword asked) {
  printtext("You scored %llu out of %llu.\n", score, asked);
  printpercentline();
  printtext("\n");
}

void countcorrect(qword& score) {
  ++score;
  ++questionstats.answeredcorrectly;
}

void printrangemessage(const char* lead, qword highest, const char* keys) {
  printtext("%s    You must type a number from 1 to %llu (%s)\n> ", lead, highest, keys);
}

bool askplayagain() {
  printtext("    Do you want to play again? y/n\n> ");
  readtoken(inputbuffer);
  return inputbuffer[0] == 'y';
}

// The answer shows at most ten ways to finish; the hint counts them and names
// a dart to start with. Any finish that the dart reader accepts is right, not
// only the ways the answer lists.
QuestionEnd askfinish(qword total, void (*restate)(qword total)) {
  for (;;) {
    printtext("> ");
    readtoken(longinputbuffer);
    switch (longinputbuffer[0]) {
      case 'q':
        return QuestionEnd::left;
      case 'a':
        statsproc(total, WayKind::finishing, WayList::firstten);
        return QuestionEnd::answershown;
      case 'h':
        printtext("    Hint:");
        statsproc(total, WayKind::finishing, WayList::summary);
        lastdartshint(total);
        break;
      case '?':
        showentryhelp();
        restate(total);
        break;
      default:
        if (checkdartsanswer(total, longinputbuffer) == 0) return QuestionEnd::correct;
        break;
    }
  }
}
