// The program's spine: start-up and the main menu loop. Each menu token is
// judged by its first character alone; every activity returns here when the
// player leaves it, and "q" (or the end of input) ends the program.
#include "shell/menu.hpp"

#include "base/address.hpp"
#include "base/console.hpp"
#include "export/exportmenu.hpp"
#include "games/calculator.hpp"
#include "games/exactly101.hpp"
#include "games/finalthreedarts.hpp"
#include "games/questions.hpp"
#include "games/standardgame.hpp"
#include "games/subtractiongame.hpp"
#include "random/generator.hpp"

namespace {

void printmenu() {
  printtext(
      "    Main menu: Choose what you want to do:\n"
      "        1: 301 standard game\n"
      "        2: 501 standard game\n"
      "        3: 1001 standard game\n"
      "        4: Subtractions game\n"
      "        5: Final three darts game\n"
      "        6: Exactly 101 game\n"
      "        7: See your score\n"
      "        c: Calculator\n"
      "        s: Save lists of scores to a text file or csv file\n"
      "        q: Quit\n"
      "> ");
}

// The score display ends with its own prompt, so the menu is not reprinted.
void showscore() {
  if (questionstats.questionsasked == 0) {
    printtext("    You haven't answered any questions yet.\n> ");
  } else {
    printpercentline();
    printtext("> ");
  }
}

}  // namespace

int quiverly(qword now) {
  seedgenerator(now);
  printtext(
      "\n    ***** Quiverly by Jandro Pellowin [%s] *****\n"
      "    A text-based darts game and tool to help you practise darts maths.\n"
      "    [18/08/2025]\n\n",
      authoraddress);
  questionstats = {0, 0};
  bool menusuppressed = false;
  for (;;) {
    if (menusuppressed) {
      menusuppressed = false;
    } else {
      printmenu();
    }
    readtoken(inputbuffer);
    switch (inputbuffer[0]) {
      case '1':
        Main301Games(301);
        break;
      case '2':
        Main301Games(501);
        break;
      case '3':
        Main301Games(1001);
        break;
      case '4':
        subtractiongame();
        break;
      case '5':
        finalthreedartsgame();
        break;
      case '6':
        exactly101game();
        break;
      case '7':
        showscore();
        menusuppressed = true;
        break;
      case 'c':
        dartscalculator();
        break;
      case 's':
        exportmenu();
        break;
      case 'q':
        printtext("Bye!\n");
        return 0;
      default:
        printtext("**** I don't understand ****\n\n");
        break;
    }
  }
}
