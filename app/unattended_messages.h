// Runs that nobody attends (the scripted screenshot run): every message box the program opens,
// the model reader's, a dialog field's refusal or any other, is also written to stderr and answers
// itself shortly after it is shown, so that the run always ends by itself and says what happened.
#pragma once

namespace vantrel {

// From now on, for the rest of the run.  Needs the application object; calling it again does
// nothing more.
void AnswerMessageBoxesUnattended();

}  // namespace vantrel
