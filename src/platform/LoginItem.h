#pragma once

namespace tender {

// Starting the app when the user logs in.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    virtual bool isEnabled() const = 0;
    // False when the system refused the change; isEnabled() then tells what holds.
    virtual bool setEnabled(bool enabled) = 0;
};

} // namespace tender
