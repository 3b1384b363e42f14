#pragma once
// Every text of the dialogs in one place: captions, labels ("&" marks the
// accelerator letter), hints (the tooltips), list items, file dialog titles
// and filters, and the messages the dialogs show.
#include <array>

#include "engine/number_composition.h"

namespace trelvo::dialogs::texts {

// --- Options dialog
inline constexpr char kOptionsCaption[] = "Trelvo Optionen";
inline constexpr char kAdminMode[] = "Adminmodus";
inline constexpr char kClientMode[] = "Clientmodus";
inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "Abbrechen";
inline constexpr char kPreviewButton[] = "Vorschau";
inline constexpr char kCounterTab[] = "Zähler";
inline constexpr char kPathsTab[] = "Pfade";
inline constexpr char kRangesTab[] = "Nummernkreise";

inline constexpr char kTextAndDateGroup[] = "Text und Datum";
inline constexpr char kTextBeforeLabel[] = "Text &vor Datum:";
inline constexpr char kTextBeforeHint[] = "Freier Text vor dem Datum";
inline constexpr char kDateLabel[] = "D&atum:";
inline constexpr char kDateHint[] = "Datum (Jahr und/oder Monat)";
inline constexpr char kSeparatorLabel[] = "&Trennzeichen Datum:";
inline constexpr char kSeparatorHint[] = "Datumstrennzeichen (nur zw. Monat und Jahr)";
inline constexpr char kTextAfterLabel[] = "Text nach &Datum:";
inline constexpr char kTextAfterHint[] = "Text hinter dem Datum und vor dem Zähler";
inline constexpr char kTextBehindCounterLabel[] = "Text hinter Z&ähler:";
inline constexpr char kTextBeforeCounterLabel[] = "Text vor Z&ähler:";
inline constexpr char kTextCounterHint[] = "Text vor/hinter dem Zähler";

// The date and separator lists: the engine's names of the kinds.
inline constexpr const auto& kDateItems = engine::kDateKindNames;
inline constexpr const auto& kSeparatorItems = engine::kSeparatorKindNames;
inline constexpr std::array<const char*, 9> kDigitItems = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};

inline constexpr char kCounterGroup[] = "Zähler";
inline constexpr char kCounterLabel[] = "&Zählerwert:";
inline constexpr char kCounterHint[] = "Zählerwert";
inline constexpr char kDigitsLabel[] = "&Stellen:";
inline constexpr char kDigitsHint[] = "Anzahl der Zählerstellen";
inline constexpr char kIncrementLabel[] = "Zähler Schri&ttweite:";
inline constexpr char kIncrementHint[] = "Schrittweite des Zählers";
inline constexpr char kLeadingLabel[] = "Zähle&r vor Text und Datum";
inline constexpr char kLeadingHint[] = "Position von Zähler und Texten tauschen";
inline constexpr char kRestartLabel[] = "Zähler &jährlich neu beginnen";
inline constexpr char kRestartHint[] =
    "Mit jedem neuen Jahr beginnt der Zähler wieder bei der ersten Nummer (nur mit einem Datumsteil, der das Jahr "
    "zeigt)";
inline constexpr char kNothingSaved[] =
    "Zähler und Format wurden nicht gespeichert. Die Sperre bleibt bestehen, bis ein Administrator sie mit "
    "\"trelvo unlock\" aufhebt oder die Optionen erneut öffnet und schließt.";
inline constexpr char kCounterChangeNotRecorded[] =
    "Der Zähler ist gespeichert, seine Änderung konnte aber nicht protokolliert werden: %s";
inline constexpr char kRestartWithoutYear[] =
    "Der Zähler kann nur jährlich neu beginnen, wenn der Datumsteil das Jahr zeigt: sonst wiederholten sich die "
    "Nummern eines Jahres im nächsten. Wählen Sie einen Datumsteil mit Jahr. Es wurde nichts gespeichert.";
inline constexpr char kPreviewGroup[] = "Vorschau nächster Zähler";

inline constexpr char kFilesGroup[] = "Konfigurationsdateien";
inline constexpr char kCounterFileLabel[] = "Tre&lvo Zählerdatei:";
inline constexpr char kCounterFileHint[] = "Datei mit Zählereinstellungen und Konfiguration";
inline constexpr char kOpenCounterFileHint[] = "Zählereinstellungen öffnen";
inline constexpr char kNewCounterFileHint[] = "Neue Datei für Zählereinstellungen erstellen";
inline constexpr char kDescriptionLabel[] = "&Beschreibung für ";
inline constexpr char kDescriptionHint[] = "Hinweisfeld, nützlich zur Unterscheidung mehrerer Trelvo Zählerdateien";
inline constexpr char kDefaultDescription[] = "Geben Sie hier eine kurze Beschreibung ein.";
inline constexpr char kLogFolderLabel[] = "&Ordner mit Logdatei:";
inline constexpr char kLogFolderHint[] = "Pfad zur zentrale Logdatei";
inline constexpr char kBrowseLogFolderHint[] = "Ordner mit Logdatei wählen";

inline constexpr char kOpenCounterFileTitle[] = "Trelvo Zählerdatei wählen";
inline constexpr char kCreateCounterFileTitle[] = "Trelvo Zählerdatei erstellen";
inline constexpr char kCounterFileFilter[] = "Trelvo Zählerdateien (*.ini)|*.ini";
inline constexpr char kCounterFileExtension[] = "ini";
inline constexpr char kNewCounterFileName[] = "neuer zaehler.ini";

inline constexpr char kCounterFileNotSaved[] = "Zählerdatei konnte nicht gespeichert werden!";
inline constexpr char kLockNotTaken[] =
    "Die Zählerdatei %s kann nicht gesperrt werden:\r\n%s\r\n"
    "Änderungen an Zähler und Format werden daher nicht gespeichert.";

// --- The number ranges
inline constexpr char kRangesGroup[] = "Nummernkreise";
inline constexpr char kRangesLabel[] = "Liste der &Nummernkreise:";
inline constexpr char kRangesHint[] = "Doppelklick zum Bearbeiten";
inline constexpr char kAddRangeHint[] = "Nummernkreis hinzufügen (Einfg)";
inline constexpr char kRemoveRangeHint[] = "Nummernkreis entfernen (Entf)";
inline constexpr char kEditRangeHint[] = "Nummernkreis bearbeiten (Eingabetaste)";
inline constexpr char kRangeUpHint[] = "Eintrag nach oben (Strg+Pfeil nach oben)";
inline constexpr char kRangeDownHint[] = "Eintrag nach unten (Strg+Pfeil nach unten)";
inline constexpr char kInvalidRangesRemoved[] =
    "Ungültige Verweise auf Zählerdateien wurden aus der Liste der Nummernkreise entfernt.";
inline constexpr char kRemoveRangeQuestion[] = "Soll der Nummernkreis %s aus dieser Liste entfernt werden?";

// --- The range edit dialog
inline constexpr char kRangeCaption[] = "Trelvo Nummernkreis bearbeiten";
inline constexpr char kRangeGroup[] = "Nummernkreis";
inline constexpr char kRangeNameLabel[] = "&Angezeigter Name (eindeutig): ";
inline constexpr char kRangeNameHint[] = "Eindeutiger Bezeichner für diesen Nummernkreis";
inline constexpr char kRangeFileName[] = "sabu_counter.ini";
inline constexpr char kRangeNameWithBar[] =
    "Der Name eines Nummernkreises darf keinen senkrechten Strich (|) enthalten.";

// --- The About dialog
inline constexpr char kAboutCaption[] = "Info";
inline constexpr char kAboutTitle[] = "Trelvo 2008 Add-In";
inline constexpr char kAboutSubtitle[] = "Fortlaufende Rechnungsnummern für Word und Excel";
inline constexpr char kVersionLabel[] = "Version: ";
inline constexpr char kRevisionLabel[] = "Revision: ";
inline constexpr char kRevision[] = "2008-09-28 19:30:44";
inline constexpr char kContactHeading[] = "Hinweise && Kontakt";
inline constexpr char kHomeHint[] = "Link zur Homepage";
inline constexpr char kMakerText[] = "Ein Programm der";
inline constexpr char kMakerLink[] = " Orvant Software GmbH";
inline constexpr char kRightsNotice[] =
    "Alle Rechte vorbehalten. Genannte Marken sind Eigentum ihrer jeweiligen Inhaber.";
inline constexpr char kHomePage[] = "https://www.orvant.example/trelvo";
inline constexpr char kClose[] = "Schließen";

// --- The customer name
inline constexpr char kCustomerCaption[] = "Trelvo";
inline constexpr char kCustomerPrompt[] = "Geben Sie bitte die Kundenbezeichnung für den Dateinamen ein:";

}  // namespace trelvo::dialogs::texts
