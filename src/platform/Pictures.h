#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace morvantis {

// A decoded picture. The windows know the concrete type; the rules only hold handles.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

// Empty picture: a null handle.
using PictureHandle = std::shared_ptr<const Picture>;

class Pictures {
public:
    virtual ~Pictures() = default;
    // The picture in the file, or a null handle when it is missing, not a regular file,
    // unreadable, not a whole picture, or larger than maxPixels once decoded.
    virtual PictureHandle load(const std::string& path, std::uint64_t maxPixels) = 0;
};

} // namespace morvantis
