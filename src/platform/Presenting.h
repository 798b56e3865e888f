#pragma once

namespace tender {

// Whether the user is presenting, so signals can stay quiet meanwhile. Asked at
// the moment a signal arrives; nothing is cached.
class Presenting {
public:
    virtual ~Presenting() = default;

    // Some display shows the same picture as another.
    virtual bool mirrored() const = 0;
    // Another application is in front with a window of a whole screen's size.
    virtual bool frontAppFullScreen() const = 0;
};

} // namespace tender
