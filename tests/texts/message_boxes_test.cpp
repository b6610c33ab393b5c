#include "texts/console_message_boxes.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

#include <sstream>

namespace trazvik::texts {
namespace {

TEST(MessageBoxes, TheCautiousAnswerIsNeverTheRiskyOne) {
  EXPECT_EQ(cautiousAnswer(ButtonSet::yesNo()), DialogButton::No);
  EXPECT_EQ(cautiousAnswer(ButtonSet::yesNoCancel()), DialogButton::Cancel);
  EXPECT_EQ(cautiousAnswer(ButtonSet::okCancel()), DialogButton::Cancel);
  EXPECT_EQ(cautiousAnswer({DialogButton::Ok}), DialogButton::Ok);
  EXPECT_EQ(cautiousAnswer({DialogButton::Yes}), DialogButton::Yes);
}

TEST(ConsoleMessageBoxes, ErrorsGoToTheErrorStreamWithTheirCaption) {
  std::ostringstream out, err;
  ConsoleMessageBoxes boxes(out, err, nullptr);
  boxes.showMessage("first\n\rsecond\r\nthird\rfourth", true, "Stop");
  boxes.showMessage("saved", false, "Information");
  EXPECT_EQ(err.str(), "Stop: first\nsecond\nthird\nfourth\n");
  EXPECT_EQ(out.str(), "Information: saved\n");
}

TEST(ConsoleMessageBoxes, QuestionsAreAnsweredFromTheInput) {
  struct Case {
    const char* input;
    ButtonSet buttons;
    DialogButton expected;
  };
  const Case cases[] = {
      {"y\n", ButtonSet::yesNo(), DialogButton::Yes},
      {"  YES \n", ButtonSet::yesNo(), DialogButton::Yes},
      {"n\n", ButtonSet::yesNo(), DialogButton::No},
      {"maybe\nyes\n", ButtonSet::yesNo(), DialogButton::Yes},  // asked again
      {"c\ny\n", ButtonSet::yesNo(), DialogButton::Yes},        // cancel is not offered
      {"x\nx\nx\ny\n", ButtonSet::yesNo(), DialogButton::No},   // three wrong answers
      {"", ButtonSet::yesNoCancel(), DialogButton::Cancel},     // end of input
      {"ok\n", ButtonSet::okCancel(), DialogButton::Ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    std::istringstream in(c.input);
    std::ostringstream out, err;
    ConsoleMessageBoxes boxes(out, err, &in);
    EXPECT_EQ(boxes.confirm("Reload the projects?", c.buttons), c.expected);
    EXPECT_NE(out.str().find("Reload the projects?"), std::string::npos);
  }
}

TEST(ConsoleMessageBoxes, WithoutInputTheCautiousAnswerIsTakenAndSaid) {
  std::ostringstream out, err;
  ConsoleMessageBoxes boxes(out, err, nullptr);
  EXPECT_EQ(boxes.confirm("Continue anyway?", ButtonSet::yesNo()), DialogButton::No);
  EXPECT_NE(out.str().find("Continue anyway? [y]es/[n]o"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("(no answer: no)"), std::string::npos) << out.str();
}

TEST(RecordingMessageBoxes, AnswersFromItsQueueAndMarksWhatItCouldNotAnswer) {
  RecordingMessageBoxes boxes;
  boxes.prepareAnswer(DialogButton::Yes);
  boxes.prepareAnswer(DialogButton::Ok);  // not offered by the second question
  EXPECT_EQ(boxes.confirm("first", ButtonSet::yesNo()), DialogButton::Yes);
  EXPECT_EQ(boxes.confirm("second", ButtonSet::yesNo()), DialogButton::No);
  EXPECT_EQ(boxes.confirm("third", ButtonSet::yesNoCancel()), DialogButton::Cancel);
  ASSERT_EQ(boxes.questions().size(), 3u);
  EXPECT_TRUE(boxes.questions()[0].answeredFromQueue);
  EXPECT_FALSE(boxes.questions()[1].answeredFromQueue);
  EXPECT_FALSE(boxes.questions()[2].answeredFromQueue);
  EXPECT_EQ(boxes.questions()[2].answer, DialogButton::Cancel);
}

}  // namespace
}  // namespace trazvik::texts
