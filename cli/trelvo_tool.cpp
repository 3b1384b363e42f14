#include "cli/trelvo_tool.h"

#include <algorithm>
#include <optional>

#include "cli/audit_command.h"

#include "engine/counter_change.h"
#include "engine/counter_lock.h"
#include "engine/integer_text.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
#include "engine/server/connection_string.h"
#include "engine/server/server_range.h"
#include "engine/settings.h"
#include "engine/usage_log.h"
#include "platform/error.h"
#include "platform/user_interface.h"

namespace trelvo::cli {
namespace {

using engine::NumberStore;

constexpr char kUsage[] =
    "Aufruf: trelvo BEFEHL [OPTIONEN]\n"
    "\n"
    "Befehle:\n"
    "  status   [--counter-file PFAD]               Zähler, Format, Beschreibung, Sperre und nächste Nummer\n"
    "  preview  [--counter-file PFAD]               die nächste Nummer, ohne etwas zu schreiben\n"
    "  draw     [--counter-file PFAD] [--app TEXT]  zieht die nächste Nummer und protokolliert sie\n"
    "  unlock   [--counter-file PFAD]               hebt die Sperre der Zählerdatei auf\n"
    "  set-counter [--counter-file PFAD] WERT       setzt den Zähler (nie unter den zuletzt vergebenen\n"
    "           Wert) und protokolliert die Änderung\n"
    "  audit    [--log DATEI] [--counter-file PFAD]... [--from JJJJ-MM-TT] [--to JJJJ-MM-TT]\n"
    "           [--html DATEI] [--csv DATEI]        prüft das Protokoll auf doppelte Nummern und Lücken\n"
    "  server-init --counter-file ZEIGER [--from ZÄHLERDATEI]\n"
    "           legt die Tabellen und den Nummernkreis an, auf den ZEIGER (Abschnitt [Server])\n"
    "           verweist; mit --from Zähler und Format dieser Zählerdatei, die danach gesperrt bleibt\n"
    "\n"
    "Ohne --counter-file gilt die aktuelle Zählerdatei aus trelvo.ini (audit: dazu die\n"
    "Zählerdateien der Nummernkreise), ohne --log das Protokoll im Ordner aus trelvo.ini.\n"
    "Exit-Status: 0 erfolgreich, 1 Fehler, 2 Zählerdatei gesperrt,\n"
    "3 Nummer gezogen, aber nicht protokolliert, 64 falscher Aufruf;\n"
    "audit: 0 lückenlos belegt, 1 ein Befund (die Folge ist nicht bewiesen), 2 Datei nicht lesbar,\n"
    "64 falscher Aufruf (auch ein Zeitraum, dessen Ende vor seinem Anfang liegt).\n";

struct Options {
  std::string command;
  std::optional<std::string> counter_file;
  std::optional<std::string> application;
  std::optional<std::string> source;  // server-init: the counter file the range moves from
  std::optional<std::string> value;   // set-counter: the new counter
  AuditCall audit;                    // the options of "audit"
};

bool IsDate(const std::string& text) {
  return text.size() == 10 && text[4] == '-' && text[7] == '-' &&
         std::all_of(text.begin(), text.end(), [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
}

// nullopt with a message on err when the arguments do not fit.
std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::ostream& err) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takes_value = arg == "--counter-file" || arg == "--app" || arg == "--log" || arg == "--from" ||
                             arg == "--to" || arg == "--html" || arg == "--csv";
    if (takes_value && i + 1 >= args.size()) {
      err << "Fehler: " << arg << " braucht einen Wert.\n";
      return std::nullopt;
    }
    if (arg == "--counter-file") {
      if (options.counter_file) options.audit.counter_files.push_back(*options.counter_file);
      options.counter_file = args[++i];
    } else if (arg == "--log") {
      options.audit.log = args[++i];
    } else if (arg == "--html" || arg == "--csv") {
      (arg == "--html" ? options.audit.html : options.audit.csv) = args[++i];
    } else if (arg == "--from" && options.command == "server-init") {
      options.source = args[++i];
    } else if (arg == "--from" || arg == "--to") {
      const std::string& date = args[++i];
      if (!IsDate(date)) {
        err << "Fehler: " << arg << " braucht ein Datum JJJJ-MM-TT.\n";
        return std::nullopt;
      }
      (arg == "--from" ? options.audit.from : options.audit.to) = date;
    } else if (arg == "--app") {
      options.application = args[++i];
    } else if (options.command.empty() && !arg.starts_with("-")) {
      options.command = arg;
    } else if (options.command == "set-counter" && !options.value && !arg.starts_with("-")) {
      options.value = arg;
    } else {
      err << "Fehler: unbekanntes Argument '" << arg << "'.\n";
      return std::nullopt;
    }
  }
  if (options.application && options.command != "draw") {
    err << "Fehler: --app gilt nur für draw.\n";
    return std::nullopt;
  }
  if (options.command == "set-counter" && !options.value) {
    err << "Fehler: set-counter braucht den neuen Zählerwert.\n";
    return std::nullopt;
  }
  if (options.command == "server-init" && !options.counter_file) {
    err << "Fehler: server-init braucht --counter-file mit dem Verweis auf den Server.\n";
    return std::nullopt;
  }
  const bool audit = options.command == "audit";
  if (!audit && (options.audit.log || !options.audit.from.empty() || !options.audit.to.empty() ||
                 !options.audit.counter_files.empty() || options.audit.html || options.audit.csv)) {
    err << "Fehler: --log, --from, --to, --html, --csv und mehrere --counter-file gelten nur für audit.\n";
    return std::nullopt;
  }
  if (audit && options.counter_file) options.audit.counter_files.push_back(*options.counter_file);
  return options;
}

template <size_t N>
const char* KindName(const std::array<const char*, N>& names, int32_t kind) {
  return kind >= 0 && static_cast<size_t>(kind) < N ? names[static_cast<size_t>(kind)] : "(keine)";
}

// A key of [Zaehler] as it stands in the file, or its default when it is missing.
std::string CounterValueText(const engine::IniDocument& document, const char* key, int32_t fallback) {
  return document.ReadRawValue(engine::counter_keys::kCounterSection, key).value_or(std::to_string(fallback));
}

// Whether the counter starts again with each year or month, and where it stands.
std::string RestartText(const engine::CounterState& state) {
  if (state.restart == engine::CounterRestart::Never) return "nie";
  std::string text = state.restart == engine::CounterRestart::Yearly ? "jährlich" : "monatlich";
  if (!state.period.empty()) text += ", zuletzt gezogen in " + state.period;
  if (!state.closed_period.empty())
    text += ", " + state.closed_period + " endete mit Zähler " + std::to_string(state.closed_counter);
  return text;
}

int Status(platform::Environment& env, const NumberStore& file, std::ostream& out) {
  namespace k = engine::counter_keys;
  const engine::IniDocument document = file.Read();
  const engine::CounterState state = engine::ReadCounterState(document);
  const engine::NextDraw next = engine::PlanNextDraw(env, document, file.path());
  const std::string holder = engine::LockOwnerIn(document);
  const auto quoted = [](const std::string& text) { return "\"" + text + "\""; };
  out << "Zählerdatei:      " << file.path() << (file.Exists() ? "" : " (existiert noch nicht)") << '\n';
  if (const auto range = file.Server())
    out << "Server:           " << engine::server::WithoutPassword(range->pointer().connection) << '\n'
        << "Nummernkreis:     " << quoted(range->pointer().range) << '\n';
  out << "Zähler:           " << CounterValueText(document, k::kCounter, 0) << '\n'
      << "Schrittweite:     " << CounterValueText(document, k::kIncrement, 1) << '\n'
      << "Text vor Datum:   " << quoted(state.format.text_before) << '\n'
      << "Datumsteil:       " << state.format.date_kind << ' '
      << KindName(engine::kDateKindNames, state.format.date_kind) << '\n'
      << "Trennzeichen:     " << state.format.separator_kind << ' '
      << KindName(engine::kSeparatorKindNames, state.format.separator_kind) << '\n'
      << "Text nach Datum:  " << quoted(state.format.text_after) << '\n'
      << "Text am Zähler:   " << quoted(state.format.counter_text) << '\n'
      << "Stellen:          " << state.format.width << '\n'
      << "Zähler vorn:      " << (state.format.leading ? "ja" : "nein") << '\n'
      << "Neubeginn:        " << RestartText(state) << '\n'
      << "Beschreibung:     " << quoted(document.ReadString(k::kNoteSection, k::kConfigDesc, "")) << '\n'
      << "Gesperrt durch:   " << (engine::IsLockHolder(holder) ? platform::Quoted(holder) : std::string("(frei)"))
      << '\n'
      << "Nächste Nummer:   " << (next.refusal ? engine::kErrorMarker : next.number) << '\n';
  if (!next.refusal) return kExitOk;
  platform::ShowErrorBox(env.ui, *next.refusal);
  return kExitFailed;
}

int Preview(platform::Environment& env, const NumberStore& file, std::ostream& out) {
  const std::string number = engine::PreviewNextNumber(env, file);
  if (number == engine::kLockedMarker) return kExitLocked;
  if (number == engine::kErrorMarker) return kExitFailed;  // the error box has told why
  out << number << '\n';
  return kExitOk;
}

int Draw(platform::Environment& env, const NumberStore& file, const Options& options, std::ostream& out) {
  const std::string application = options.application.value_or(std::string("Kommandozeile ") + kToolVersion);
  const engine::DrawResult result = engine::DrawUnderLock(env, file, application);
  if (result.issued) {
    out << result.number << '\n' << std::flush;
    if (!result.unrecorded) return kExitOk;
    platform::ShowErrorBox(env.ui, *result.unrecorded);
    return kExitNotLogged;
  }
  engine::ShowLockMessage(env, file, result.holder, result.holder_place);
  try {
    file.RecordRefusal(application);
  } catch (const Aborted&) {
    // a server's failure has been told in its own box already
  } catch (const Error& error) {
    platform::ShowErrorBox(env.ui, error.what());
  }
  return kExitLocked;
}

// The range named by the pointer file, created on its server with the tables
// when they are absent. From a counter file: its values are taken under its
// lock, and its advisory lock then names where the range went, for good, so
// that no workstation draws from it again. A failure frees it again only where
// the range provably was not created; otherwise the file stays locked for the
// move, and server-init run again finishes it.
int ServerInit(platform::Environment& env, const NumberStore& pointer, const std::optional<std::string>& source,
               std::ostream& out) {
  namespace k = engine::counter_keys;
  const engine::server::ServerRange* range = pointer.Server();
  if (!range)
    throw Error("Die Datei " + platform::Quoted(pointer.path()) +
                " verweist auf keinen Server: server-init braucht eine Datei mit dem Abschnitt [Server] "
                "(Connection und Range).");
  const std::string name = platform::Quoted(range->pointer().range);
  if (!source) {
    const bool created = range->Create(engine::IniDocument());
    out << (created ? "Der Nummernkreis " + name + " ist auf dem Server angelegt.\n"
                    : "Den Nummernkreis " + name + " gibt es auf dem Server schon; er bleibt, wie er ist.\n");
    return kExitOk;
  }
  const auto opened = engine::OpenNumberStore(env, *source);
  const NumberStore& from = *opened;
  const std::string file = platform::Quoted(*source);
  if (!from.Exists()) throw Error("Die Zählerdatei " + file + " existiert nicht.");
  if (from.Server()) throw Error("Die Datei " + file + " verweist selbst auf einen Server.");
  engine::IniDocument before, content;
  std::string holder;
  std::optional<std::string> untrusted;
  from.Update([&](engine::IniDocument& document) {
    holder = engine::LockOwnerIn(document);
    untrusted = engine::UntrustedCounterValue(document, from.path());
    if ((engine::IsLockHolder(holder) && holder != engine::kMovingToServerHolder) || untrusted) return;
    before = content = document;
    engine::WriteFreeLock(content);  // the range on the server starts free
    document.WriteBool(k::kLockingSection, k::kIsLocked, true);
    document.WriteString(k::kLockingSection, k::kLockedBy, engine::kMovingToServerHolder);
  });
  const bool resumed = holder == engine::kMovingToServerHolder;  // a move that broke off before
  if (engine::IsLockHolder(holder) && !resumed) {
    engine::ShowLockMessage(env, from, holder);
    return kExitLocked;
  }
  if (untrusted) throw Error(*untrusted);
  // The file as it was, byte for byte, while the lock is still the move's own.
  const auto restore = [&] {
    from.Update([&](engine::IniDocument& document) {
      if (engine::LockOwnerIn(document) == engine::kMovingToServerHolder) document = before;
    });
  };
  bool created = false;
  try {
    created = range->Create(content);
  } catch (...) {
    // Only a range that provably does not exist lets the file issue numbers
    // again: one whose creation was committed unseen would then issue them too.
    if (!resumed && range->Exists() == false) {
      restore();
      throw;
    }
    throw Error("Ob der Nummernkreis " + name + " aus der Zählerdatei " + file +
                " auf dem Server angelegt wurde, ist nicht festzustellen. Die Zählerdatei bleibt daher für den "
                "Umzug gesperrt; \"trelvo server-init\" mit denselben Angaben setzt ihn fort, sobald der Server "
                "wieder erreichbar ist.");
  }
  if (!created && !resumed) {
    restore();
    throw Error("Den Nummernkreis " + name + " gibt es auf dem Server schon. Die Zählerdatei " + file +
                " bleibt, wie sie war.");
  }
  // A broken-off move whose range exists: it was created then, unless the
  // server's counter stands behind the file's, which would issue its numbers again.
  if (!created &&
      engine::ReadCounterState(range->Load()).counter < engine::ReadCounterState(content).counter)
    throw Error("Den Nummernkreis " + name + " gibt es auf dem Server, aber sein Zähler steht hinter dem der "
                "Zählerdatei " + file + ". Die Zählerdatei bleibt für den Umzug gesperrt; ein Administrator "
                "klärt, welcher Zähler gilt.");
  from.Update([&](engine::IniDocument& document) {
    document.WriteString(k::kLockingSection, k::kLockedBy, engine::kMovedToServerHolder + range->pointer().range);
  });
  out << "Der Nummernkreis " << name << (created ? " ist auf dem Server angelegt" : " ist auf dem Server")
      << ", mit Zähler und Format aus " << file << ". Diese Zählerdatei bleibt gesperrt.\n";
  return kExitOk;
}

// The counter set by a script, under the rules of the Options dialog: never
// below a value already issued, never while the range is locked, and the
// change recorded.
int SetCounter(platform::Environment& env, const NumberStore& file, const std::string& text, std::ostream& out) {
  namespace k = engine::counter_keys;
  const auto counter = engine::ParseInteger(text);
  if (!counter || *counter < 0 || text.find_first_not_of("0123456789") != std::string::npos)
    throw Error("Der Zählerwert " + platform::Quoted(text) + " ist keine ganze Zahl von 0 bis 2147483647.");
  std::string holder, place;
  std::optional<std::string> refusal;
  int32_t before = 0;
  file.Update([&](engine::IniDocument& document) {
    engine::RefuseMovedRange(document, file.path());
    holder = engine::LockOwnerIn(document);
    place = engine::LockPlaceIn(document);
    if (engine::IsLockHolder(holder)) return;
    const engine::CounterState state = engine::ReadCounterState(document);
    before = state.counter;
    refusal = engine::CounterSetBackRefusal(*counter, engine::HighestIssued(env, file, state));
    if (!refusal && *counter != before) document.WriteInteger(k::kCounterSection, k::kCounter, *counter);
  });
  if (engine::IsLockHolder(holder)) {
    engine::ShowLockMessage(env, file, holder, place);
    return kExitLocked;
  }
  if (refusal) throw Error(*refusal);
  if (*counter != before)
    engine::RecordCounterChange(file, {before, *counter, engine::FileNameOf(file.path())});
  out << "Der Zähler steht auf " << *counter << " (vorher " << before << "): " << platform::Quoted(file.path())
      << '\n';
  return kExitOk;
}

int Unlock(platform::Environment& env, const NumberStore& file, std::ostream& out) {
  if (!file.Exists()) {
    engine::ReleaseLock(env, file);  // tells the user that there is nothing to release
    return kExitFailed;
  }
  // Whose lock it was and the release in one step: nobody can take the lock in
  // between. A range moved to a server keeps its old file locked.
  std::string holder;
  file.Update([&](engine::IniDocument& document) {
    engine::RefuseMovedRange(document, file.path());
    holder = engine::LockOwnerIn(document);
    engine::WriteFreeLock(document);
  });
  if (engine::IsLockHolder(holder))
    out << "Die Sperre durch " << platform::Quoted(holder) << " ist aufgehoben: " << platform::Quoted(file.path())
        << '\n';
  else
    out << "Die Zählerdatei war nicht gesperrt: " << platform::Quoted(file.path()) << '\n';
  return kExitOk;
}

}  // namespace

int RunTrelvoTool(const std::vector<std::string>& args, platform::Environment& env, std::ostream& out,
                  std::ostream& err) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    out << kUsage;
    return kExitOk;
  }
  const auto options = ParseArguments(args, err);
  if (!options || options->command.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  if (options->command == "audit") return RunAudit(options->audit, env, out);
  try {
    // The settings file names the counter file unless the call does, and the
    // usage log's folder for a draw.
    if (!options->counter_file || options->command == "draw") engine::CreateSettingsFolder(env);
    const auto store = engine::OpenNumberStore(
        env, options->counter_file ? *options->counter_file : engine::UsableCounterFilePath(env));
    const NumberStore& file = *store;
    if (options->command == "status") return Status(env, file, out);
    if (options->command == "preview") return Preview(env, file, out);
    if (options->command == "draw") return Draw(env, file, *options, out);
    if (options->command == "unlock") return Unlock(env, file, out);
    if (options->command == "set-counter") return SetCounter(env, file, *options->value, out);
    if (options->command == "server-init") return ServerInit(env, file, options->source, out);
    err << "Fehler: unbekannter Befehl '" << options->command << "'.\n" << kUsage;
    return kExitUsage;
  } catch (const Aborted&) {
    return kExitFailed;  // the message has been shown
  } catch (const platform::FileError& error) {
    platform::ShowErrorBox(env.ui, std::string("Ein Dateizugriff ist fehlgeschlagen: ") + error.what());
    return kExitFailed;
  } catch (const std::exception& error) {
    platform::ShowErrorBox(env.ui, error.what());
    return kExitFailed;
  }
}

}  // namespace trelvo::cli
