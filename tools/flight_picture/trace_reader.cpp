#include "tools/flight_picture/trace_reader.h"

#include <array>
#include <optional>
#include <utility>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

constexpr std::array<std::pair<const char*, TraceEvent::Op>, 5> OPS{{
    {"create", TraceEvent::Op::Create},
    {"play", TraceEvent::Op::Play},
    {"stop", TraceEvent::Op::Stop},
    {"rewind", TraceEvent::Op::Rewind},
    {"delete", TraceEvent::Op::Delete},
}};

std::optional<TraceEvent::Op> OpNamed(const QString& name) {
  for (const auto& [text, op] : OPS) {
    if (name == QLatin1String(text)) return op;
  }
  return std::nullopt;
}

std::optional<TraceEvent> EventOf(const std::string& line) {
  QJsonParseError error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(line.data(), static_cast<qsizetype>(line.size())), &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
  const QJsonObject object = document.object();
  const std::optional<TraceEvent::Op> op = OpNamed(object.value("op").toString());
  if (!op || !object.value("t").isDouble() || !object.value("file").isString()) {
    return std::nullopt;
  }
  TraceEvent event;
  event.seconds = object.value("t").toDouble() / 1000.0;
  event.op = *op;
  event.file = object.value("file").toString().toStdString();
  event.flags = object.value("flags").toInt();
  event.volume = object.value("volume").toInt();
  event.status = object.value("status").toInt();
  return event;
}

}  // namespace

Trace ParseTrace(std::istream& in) { return ReadLineRecords<TraceEvent>(in, EventOf); }
