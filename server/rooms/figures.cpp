#include "server/rooms/figures.h"

namespace server::rooms {

void Figures::next_second() {
  rate_.messages_in = total_.messages_in - at_second_.messages_in;
  rate_.bytes_in = total_.bytes_in - at_second_.bytes_in;
  rate_.messages_out = total_.messages_out - at_second_.messages_out;
  rate_.bytes_out = total_.bytes_out - at_second_.bytes_out;
  at_second_ = total_;
}

std::uint64_t Figures::dropped_count(std::string_view reason) const {
  const auto it = dropped_.find(std::string(reason));
  return it == dropped_.end() ? 0 : it->second;
}

std::uint64_t Figures::limit_count(std::string_view kind) const {
  const auto it = limits_.find(std::string(kind));
  return it == limits_.end() ? 0 : it->second;
}

std::string Figures::text(const Population& now) const {
  std::string out;
  const auto line = [&](std::string_view name, std::uint64_t value) {
    out += name;
    out += ' ';
    out += std::to_string(value);
    out += '\n';
  };
  line("rooms", now.rooms);
  line("players", now.players);
  line("spectators", now.spectators);
  line("messages_in_per_second", rate_.messages_in);
  line("messages_out_per_second", rate_.messages_out);
  line("bytes_in_per_second", rate_.bytes_in);
  line("bytes_out_per_second", rate_.bytes_out);
  line("messages_in_total", total_.messages_in);
  line("messages_out_total", total_.messages_out);
  line("stream_ticks_refused", stream_ticks_refused_);
  for (const auto& [reason, n] : dropped_) line("dropped " + reason, n);
  for (const auto& [kind, n] : limits_) line("limit " + kind, n);
  return out;
}

}  // namespace server::rooms
