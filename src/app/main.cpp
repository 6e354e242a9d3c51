#include "face/TimeRenderer.h"
#include "platform/SystemClock.h"

#include <cstdio>

using namespace morvantis;

int main() {
    SystemClock clock;
    FaceModel face;
    renderFace(face, readFaceTexts(clock), RenderOptions{});
    for (std::size_t s = 1; s < static_cast<std::size_t>(FaceSet::Count); ++s) {
        const SetInfo& set = kSets[s];
        for (std::size_t i = 0; i < set.size; ++i)
            if (face.isVisible(set.members[i]))
                std::printf("%s ", info(set.members[i]).name.data());
    }
    std::printf("\n");
}
