#pragma once

#include <stdexcept>
#include <string>

// Thrown by a numerical stage that cannot go on (a decomposition that does
// not converge, an array that would be too large): it ends the whole user
// action that asked for the result, which then has none. Its what() is the
// message for the user. It is caught only where an action starts (a menu
// command, a dialog's or a view's event, a batch command), by run_action or
// its like, so that the program carries on with the next action.
class numeric_abort : public std::runtime_error {
 public:
  explicit numeric_abort(const std::string& message) : std::runtime_error(message) {}
};

// Shows the message of an abort through the error reporter.
void report_numeric_abort(const numeric_abort& abort);

// Runs one user action; an abort ends it with its message shown. False
// when it was aborted.
template <class Action>
bool run_action(Action&& action) {
  try {
    action();
    return true;
  } catch (const numeric_abort& abort) {
    report_numeric_abort(abort);
    return false;
  }
}
