<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutBox</name>
    <message>
        <source>Search the headers of macOS SDKs for a text</source>
        <translation>Die Header von macOS-SDKs nach einem Text durchsuchen</translation>
    </message>
    <message>
        <source>About Scoutmark</source>
        <translation>Über Scoutmark</translation>
    </message>
    <message>
        <source>&lt;b&gt;Scoutmark&lt;/b&gt;&lt;br&gt;Version %1</source>
        <translation>&lt;b&gt;Scoutmark&lt;/b&gt;&lt;br&gt;Version %1</translation>
    </message>
    <message>
        <source>&lt;nobr&gt;%1.&lt;/nobr&gt;&lt;br&gt;&lt;br&gt;Released under the MIT License.</source>
        <translation>&lt;nobr&gt;%1.&lt;/nobr&gt;&lt;br&gt;&lt;br&gt;Veröffentlicht unter der MIT-Lizenz.</translation>
    </message>
</context>
<context>
    <name>HeaderTextView</name>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
</context>
<context>
    <name>HelpMenu</name>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Scoutmark</source>
        <translation>Ü&amp;ber Scoutmark</translation>
    </message>
</context>
<context>
    <name>MyWindow</name>
    <message>
        <source>Scoutmark</source>
        <translation>Scoutmark</translation>
    </message>
    <message>
        <source>Search headers</source>
        <translation>Header durchsuchen</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suche</translation>
    </message>
    <message>
        <source>&amp;SDK:</source>
        <translation>&amp;SDK:</translation>
    </message>
    <message>
        <source>SDK</source>
        <translation>SDK</translation>
    </message>
    <message>
        <source>The SDK to search</source>
        <translation>Das zu durchsuchende SDK</translation>
    </message>
    <message>
        <source>Ignore &amp;comments</source>
        <translation>&amp;Kommentare ignorieren</translation>
    </message>
    <message>
        <source>Case se&amp;nsitive</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
    <message>
        <source>Searching</source>
        <translation>Suche läuft</translation>
    </message>
    <message>
        <source>Search cancelled</source>
        <translation>Suche abgebrochen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Sort by &amp;Name</source>
        <translation>Nach &amp;Name sortieren</translation>
    </message>
    <message>
        <source>Sort by &amp;Path</source>
        <translation>Nach &amp;Pfad sortieren</translation>
    </message>
    <message>
        <source>Sort &amp;Descending</source>
        <translation>&amp;Absteigend sortieren</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
</context>
<context>
    <name>PreviewLoader</name>
    <message>
        <source>%1 is %2, too large to preview. Open it to read it.</source>
        <translation>%1 ist mit %2 zu groß für die Vorschau. Öffnen Sie die Datei, um sie zu lesen.</translation>
    </message>
    <message>
        <source>%1 cannot be read.</source>
        <translation>%1 kann nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>PreviewPane</name>
    <message>
        <source>Next &amp;Hit</source>
        <translation>&amp;Nächster Treffer</translation>
    </message>
    <message>
        <source>Next hit (F3)</source>
        <translation>Nächster Treffer (F3)</translation>
    </message>
    <message>
        <source>Pre&amp;vious Hit</source>
        <translation>&amp;Vorheriger Treffer</translation>
    </message>
    <message>
        <source>Previous hit (Shift+F3)</source>
        <translation>Vorheriger Treffer (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>%1 wird gelesen …</translation>
    </message>
    <message>
        <source>Select a header to see it here, with what the search found in it.</source>
        <translation>Wählen Sie einen Header, um ihn hier mit den Fundstellen der Suche zu sehen.</translation>
    </message>
    <message>
        <source>No hits</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <source>Hit %1 of %2</source>
        <translation>Treffer %1 von %2</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
</context>
<context>
    <name>ResultsModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
</context>
<context>
    <name>RowActions</name>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open &amp;With…</source>
        <translation>Öffnen &amp;mit …</translation>
    </message>
    <message>
        <source>Show in &amp;Files</source>
        <translation>Im &amp;Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>&amp;Pfad kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>&amp;Namen kopieren</translation>
    </message>
</context>
<context>
    <name>SearchControl</name>
    <message>
        <source>No header of %1 contains “%2”.</source>
        <translation>Kein Header in %1 enthält „%2“.</translation>
    </message>
    <message>
        <source>No header of %1 contains “%2” in this letter case.</source>
        <translation>Kein Header in %1 enthält „%2“ in dieser Groß- und Kleinschreibung.</translation>
    </message>
    <message>
        <source>No header of %1 contains “%2” outside comments.</source>
        <translation>Kein Header in %1 enthält „%2“ außerhalb von Kommentaren.</translation>
    </message>
    <message>
        <source>No header of %1 contains “%2” outside comments, in this letter case.</source>
        <translation>Kein Header in %1 enthält „%2“ außerhalb von Kommentaren in dieser Groß- und Kleinschreibung.</translation>
    </message>
    <message>
        <source>any SDK</source>
        <translation>irgendeinem SDK</translation>
    </message>
    <message>
        <source>SDK %1</source>
        <translation>SDK %1</translation>
    </message>
    <message>
        <source>The %1 frameworks are not searched.</source>
        <translation>Die Frameworks %1 werden nicht durchsucht.</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
</context>
</TS>
