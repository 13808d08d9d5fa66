#include "speech.h"

#include "error.h"

namespace peltavo::platform {

Speaker::Speaker(std::unique_ptr<SpeechEngines> engines) : engines_(std::move(engines)) {}

Speaker::~Speaker() = default;

void Speaker::choose() {
    engine_.reset();
    kind_ = Engine::None;
    if ((engine_ = engines_->openDesktopService())) {
        kind_ = Engine::DesktopService;
        return;
    }
    engine_ = engines_->openEspeak(); // its error is the one the learner sees
    kind_ = Engine::Espeak;
}

void Speaker::prepare() {
    if (engine_ && engine_->broken())
        engine_.reset();
    if (!engine_)
        choose();
}

void Speaker::say(const QString& text) {
    prepare();
    engine_->say(text);
    // The service can go away between two lines and be found gone only now: the line goes to
    // whatever speaks in its place.
    if (engine_->broken()) {
        choose();
        engine_->say(text);
    }
}

} // namespace peltavo::platform
