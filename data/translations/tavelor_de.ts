<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Tavelor</name>
    <message>
        <source>Save Layout...</source>
        <translation>Fensteranordnung speichern …</translation>
    </message>
    <message>
        <source>No profiles yet</source>
        <translation>Noch keine Profile</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Set as Active</source>
        <translation>Als aktiv festlegen</translation>
    </message>
    <message>
        <source>Deactivate</source>
        <translation>Deaktivieren</translation>
    </message>
    <message>
        <source>Apply When These Displays Connect</source>
        <translation>Anwenden, wenn diese Bildschirme verbunden werden</translation>
    </message>
    <message>
        <source>Rename...</source>
        <translation>Umbenennen …</translation>
    </message>
    <message>
        <source>Remove App</source>
        <translation>Anwendung entfernen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Unknown app</source>
        <translation>Unbekannte Anwendung</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Save Current Layout</source>
        <translation>Aktuelle Anordnung speichern</translation>
    </message>
    <message>
        <source>Enter a name for this profile:</source>
        <translation>Name dieses Profils:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Rename Profile</source>
        <translation>Profil umbenennen</translation>
    </message>
    <message>
        <source>Enter a new name:</source>
        <translation>Neuer Name:</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Tavelor is already running</source>
        <translation>Tavelor läuft bereits</translation>
    </message>
    <message>
        <source>Its menu is in the system tray.</source>
        <translation>Sein Menü finden Sie im Infobereich der Leiste.</translation>
    </message>
    <message>
        <source>Raccourci clavier…</source>
        <translation>Tastenkürzel …</translation>
    </message>
    <message>
        <source>Raccourci clavier</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Raccourci pour appliquer le profil actif</source>
        <translation>Tastenkürzel für das aktive Profil</translation>
    </message>
    <message>
        <source>Aucun raccourci</source>
        <translation>Kein Tastenkürzel</translation>
    </message>
    <message>
        <source>Appuyez sur le raccourci…</source>
        <translation>Drücken Sie das Tastenkürzel …</translation>
    </message>
    <message>
        <source>Enregistrer un raccourci…</source>
        <translation>Tastenkürzel aufnehmen …</translation>
    </message>
    <message>
        <source>Effacer</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Tavelor: échec du %@ du démarrage au login : %@</source>
        <translation>Tavelor: Start bei der Anmeldung (%@) fehlgeschlagen: %@</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>Fenstermanager erforderlich</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <translation>Tavelor liest und verschiebt Fenster über den Fenstermanager und braucht einen, mit dem es zusammenarbeiten kann: einen, der dem EWMH-Standard folgt, wie die von Xfce, LXQt, MATE, KDE und Openbox. Starten Sie Tavelor in einer solchen Desktop-Sitzung und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>x11</comment>
        <translation>Fenstermanager erforderlich</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>x11</comment>
        <translation>Tavelor liest und verschiebt Fenster über den Fenstermanager und braucht einen, mit dem es zusammenarbeiten kann: einen, der dem EWMH-Standard folgt, wie die von Xfce, LXQt, MATE, KDE und Openbox. Starten Sie Tavelor in einer solchen Desktop-Sitzung und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>kwin</comment>
        <translation>Fenstermanager erforderlich</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>kwin</comment>
        <translation>Tavelor liest und verschiebt Fenster über den Fenstermanager und braucht einen, mit dem es zusammenarbeiten kann: einen, der dem EWMH-Standard folgt, wie die von Xfce, LXQt, MATE, KDE und Openbox. Starten Sie Tavelor in einer solchen Desktop-Sitzung und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>gnome-shell</comment>
        <translation>Tavelor-Erweiterung erforderlich</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>gnome-shell</comment>
        <translation>Unter GNOME liest und verschiebt Tavelor Fenster über seine eigene GNOME-Shell-Erweiterung. Aktivieren Sie die Erweiterung „Tavelor“ in der Anwendung „Erweiterungen“, melden Sie sich dann ab und wieder an.</translation>
    </message>
    <message>
        <source>The shortcut %1 does not work</source>
        <translation>Das Tastenkürzel %1 funktioniert nicht</translation>
    </message>
    <message>
        <source>Another program already uses %1. Record another shortcut in the shortcut window.</source>
        <translation>Ein anderes Programm verwendet %1 bereits. Nehmen Sie im Fenster „Tastenkürzel“ ein anderes Tastenkürzel auf.</translation>
    </message>
    <message>
        <source>%1 could not be registered. Record another shortcut in the shortcut window.</source>
        <translation>%1 konnte nicht registriert werden. Nehmen Sie im Fenster „Tastenkürzel“ ein anderes Tastenkürzel auf.</translation>
    </message>
    <message>
        <source>The shortcut %1 is taken</source>
        <translation>Das Tastenkürzel %1 ist bereits belegt</translation>
    </message>
    <message>
        <source>Another program already uses %1. Record another combination.</source>
        <translation>Ein anderes Programm verwendet %1 bereits. Nehmen Sie eine andere Kombination auf.</translation>
    </message>
</context>
</TS>
