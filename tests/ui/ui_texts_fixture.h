// Interface texts for widget tests: the English language file of the
// source tree, with message boxes that are recorded instead of shown.
#pragma once

#include "base/version_text.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

namespace trazvik::testing {

struct UiTexts {
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  UiTexts() {
    const bool loaded =
        texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", base::programMajorMinorVersion());
    EXPECT_TRUE(loaded) << "the English language file of the source tree does not load";
  }
};

}  // namespace trazvik::testing
