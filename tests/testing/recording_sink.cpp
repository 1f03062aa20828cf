#include "testing/recording_sink.h"

namespace tgm::test {

RecordingSink::RecordingSink() : previous_(set_message_sink(this)) {}

RecordingSink::~RecordingSink() { set_message_sink(previous_); }

} // namespace tgm::test
