#pragma once
#include "http/Form.h"
#include "http/Types.h"
#include <optional>
#include <string>

namespace tender::server {

// What the sign-in page and the forgotten-password page share: the state the app started the sign-in
// with, which both carry along, and the app's own words for what went wrong.

// The form's "state": the app's random token, so letters, digits and "-", at most 128 of them.
std::optional<std::string> signinState(const Form& form);
// The page for a sign-in that was not started from the app, or whose form came back damaged.
Response signinNotStarted();
// The app's description of a provider error code, so the page and the app say the same.
std::string signinProblem(const std::string& error);
http::status signinStatus(const std::string& error);

}
