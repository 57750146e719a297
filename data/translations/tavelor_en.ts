<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Tavelor</name>
    <message>
        <source>Raccourci clavier…</source>
        <translation>Keyboard Shortcut…</translation>
    </message>
    <message>
        <source>Raccourci clavier</source>
        <translation>Keyboard Shortcut</translation>
    </message>
    <message>
        <source>Raccourci pour appliquer le profil actif</source>
        <translation>Shortcut that applies the active profile</translation>
    </message>
    <message>
        <source>Aucun raccourci</source>
        <translation>No shortcut</translation>
    </message>
    <message>
        <source>Appuyez sur le raccourci…</source>
        <translation>Press the shortcut…</translation>
    </message>
    <message>
        <source>Enregistrer un raccourci…</source>
        <translation>Record Shortcut…</translation>
    </message>
    <message>
        <source>Effacer</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Tavelor: échec du %@ du démarrage au login : %@</source>
        <translation>Tavelor: launch at login (%@) failed: %@</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>Window Manager Needed</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <translation>Tavelor reads and moves windows through the window manager, and needs one it can work with: one that follows the EWMH standard, as those of Xfce, LXQt, MATE, KDE and openbox do. Start Tavelor in such a desktop session and try again.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>x11</comment>
        <translation>Window Manager Needed</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>x11</comment>
        <translation>Tavelor reads and moves windows through the window manager, and needs one it can work with: one that follows the EWMH standard, as those of Xfce, LXQt, MATE, KDE and openbox do. Start Tavelor in such a desktop session and try again.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>kwin</comment>
        <translation>Window Manager Needed</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>kwin</comment>
        <translation>Tavelor reads and moves windows through the window manager, and needs one it can work with: one that follows the EWMH standard, as those of Xfce, LXQt, MATE, KDE and openbox do. Start Tavelor in such a desktop session and try again.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>gnome-shell</comment>
        <translation>Tavelor Extension Needed</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>gnome-shell</comment>
        <translation>In GNOME, Tavelor reads and moves windows through its own GNOME Shell extension. Turn on the “Tavelor” extension in the Extensions app, then log out and log in again.</translation>
    </message>
</context>
</TS>
