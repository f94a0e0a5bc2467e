#include "platform/SoundSink.h"

namespace {

// Built without a sound library: sounds are skipped.
class NoSoundSink : public SoundSink
{
public:
    bool play(const QString &) override { return false; }
    void stopAll() override {}
};

} // namespace

std::unique_ptr<SoundSink> createSystemSoundSink()
{
    return std::make_unique<NoSoundSink>();
}
