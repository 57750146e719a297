<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>Tavelor</name>
    <message>
        <source>Save Layout...</source>
        <translation>Enregistrer la disposition…</translation>
    </message>
    <message>
        <source>No profiles yet</source>
        <translation>Aucun profil pour l’instant</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Set as Active</source>
        <translation>Rendre actif</translation>
    </message>
    <message>
        <source>Deactivate</source>
        <translation>Désactiver</translation>
    </message>
    <message>
        <source>Apply When These Displays Connect</source>
        <translation>Appliquer quand ces écrans se connectent</translation>
    </message>
    <message>
        <source>Rename...</source>
        <translation>Renommer…</translation>
    </message>
    <message>
        <source>Remove App</source>
        <translation>Retirer une application</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Unknown app</source>
        <translation>Application inconnue</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Save Current Layout</source>
        <translation>Enregistrer la disposition actuelle</translation>
    </message>
    <message>
        <source>Enter a name for this profile:</source>
        <translation>Nom de ce profil :</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Rename Profile</source>
        <translation>Renommer le profil</translation>
    </message>
    <message>
        <source>Enter a new name:</source>
        <translation>Nouveau nom :</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Tavelor is already running</source>
        <translation>Tavelor est déjà lancé</translation>
    </message>
    <message>
        <source>Its menu is in the system tray.</source>
        <translation>Son menu se trouve dans la zone de notification.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>Gestionnaire de fenêtres requis</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <translation>Tavelor lit et déplace les fenêtres par le gestionnaire de fenêtres, et il lui en faut un avec lequel il puisse travailler : un gestionnaire qui suit la norme EWMH, comme ceux de Xfce, LXQt, MATE, KDE et openbox. Démarrez Tavelor dans une telle session de bureau, puis réessayez.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>x11</comment>
        <translation>Gestionnaire de fenêtres requis</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>x11</comment>
        <translation>Tavelor lit et déplace les fenêtres par le gestionnaire de fenêtres, et il lui en faut un avec lequel il puisse travailler : un gestionnaire qui suit la norme EWMH, comme ceux de Xfce, LXQt, MATE, KDE et openbox. Démarrez Tavelor dans une telle session de bureau, puis réessayez.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>kwin</comment>
        <translation>Gestionnaire de fenêtres requis</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>kwin</comment>
        <translation>Tavelor lit et déplace les fenêtres par le gestionnaire de fenêtres, et il lui en faut un avec lequel il puisse travailler : un gestionnaire qui suit la norme EWMH, comme ceux de Xfce, LXQt, MATE, KDE et openbox. Démarrez Tavelor dans une telle session de bureau, puis réessayez.</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <comment>gnome-shell</comment>
        <translation>Extension Tavelor requise</translation>
    </message>
    <message>
        <source>Tavelor needs Accessibility permission to scan and move windows. Please enable it in System Settings &gt; Privacy &amp; Security &gt; Accessibility.</source>
        <comment>gnome-shell</comment>
        <translation>Sous GNOME, Tavelor lit et déplace les fenêtres grâce à sa propre extension GNOME Shell. Activez l’extension « Tavelor » dans l’application Extensions, puis fermez la session et rouvrez-la.</translation>
    </message>
    <message>
        <source>The shortcut %1 does not work</source>
        <translation>Le raccourci %1 ne fonctionne pas</translation>
    </message>
    <message>
        <source>Another program already uses %1. Record another shortcut in the shortcut window.</source>
        <translation>Un autre programme utilise déjà %1. Enregistrez un autre raccourci dans la fenêtre « Raccourci clavier ».</translation>
    </message>
    <message>
        <source>%1 could not be registered. Record another shortcut in the shortcut window.</source>
        <translation>%1 n’a pas pu être enregistré. Enregistrez un autre raccourci dans la fenêtre « Raccourci clavier ».</translation>
    </message>
    <message>
        <source>The shortcut %1 is taken</source>
        <translation>Le raccourci %1 est déjà pris</translation>
    </message>
    <message>
        <source>Another program already uses %1. Record another combination.</source>
        <translation>Un autre programme utilise déjà %1. Enregistrez une autre combinaison.</translation>
    </message>
</context>
</TS>
