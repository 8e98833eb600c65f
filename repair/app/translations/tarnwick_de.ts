<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutBox</name>
    <message>
        <source>Repair, export and import the macOS SDKs of Xcode</source>
        <translation>Die macOS-SDKs von Xcode reparieren, exportieren und importieren</translation>
    </message>
    <message>
        <source>About Tarnwick</source>
        <translation>Über Tarnwick</translation>
    </message>
    <message>
        <source>&lt;b&gt;Tarnwick&lt;/b&gt;&lt;br&gt;Version %1</source>
        <translation>&lt;b&gt;Tarnwick&lt;/b&gt;&lt;br&gt;Version %1</translation>
    </message>
    <message>
        <source>&lt;nobr&gt;%1.&lt;/nobr&gt;&lt;br&gt;&lt;br&gt;Released under the MIT License.</source>
        <translation>&lt;nobr&gt;%1.&lt;/nobr&gt;&lt;br&gt;&lt;br&gt;Veröffentlicht unter der MIT-Lizenz.</translation>
    </message>
</context>
<context>
    <name>AlertSheet</name>
    <message>
        <source>Tarnwick</source>
        <translation>Tarnwick</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Fix</source>
        <translation>&amp;Reparieren</translation>
    </message>
    <message>
        <source>&amp;Export…</source>
        <translation>&amp;Exportieren …</translation>
    </message>
    <message>
        <source>&amp;Put Back</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
</context>
<context>
    <name>DisclaimerGate</name>
    <message>
        <source>macOSX10.6.sdk missing.</source>
        <translation>macOSX10.6.sdk fehlt.</translation>
    </message>
    <message>
        <source>You will need to import &quot;macOSX10.6.sdk&quot; before fix/restore actions are available.</source>
        <translation>Sie müssen „macOSX10.6.sdk“ importieren, bevor Sie SDKs reparieren oder wiederherstellen können.</translation>
    </message>
</context>
<context>
    <name>DisclaimerSheet</name>
    <message>
        <source>Tarnwick</source>
        <translation>Tarnwick</translation>
    </message>
    <message>
        <source>I Agree to all of the above</source>
        <translation>Ich stimme allem oben Genannten zu</translation>
    </message>
    <message>
        <source>Disagree and Quit</source>
        <translation>Ablehnen und beenden</translation>
    </message>
    <message>
        <source>Use of this Program is at your own risk</source>
        <translation>Die Nutzung dieses Programms erfolgt auf eigene Gefahr</translation>
    </message>
</context>
<context>
    <name>ExportImport</name>
    <message>
        <source>This process could take a long time.

You can safely quit Tarnwick as export will continue in the background.</source>
        <translation>Dieser Vorgang kann lange dauern.

Sie können Tarnwick unbesorgt beenden: Der Export läuft im Hintergrund weiter.</translation>
    </message>
    <message>
        <source>

Note: Any SDKs that already exist in the destination directory will not be overwritten.</source>
        <translation>

Hinweis: SDKs, die im Zielordner schon vorhanden sind, werden nicht überschrieben.</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Choose directory to export &quot;%1&quot;</source>
        <translation>Ordner wählen, in den „%1“ exportiert wird</translation>
    </message>
    <message>
        <source>Exporting SDKs...</source>
        <translation>SDKs werden exportiert …</translation>
    </message>
    <message>
        <source>SDK already exists.</source>
        <translation>SDK ist schon vorhanden.</translation>
    </message>
    <message>
        <source>An item named &quot;%1&quot; already exists in the chosen directory and cannot be overwritten.</source>
        <translation>Im gewählten Ordner gibt es schon ein Objekt namens „%1“. Es kann nicht überschrieben werden.</translation>
    </message>
    <message>
        <source>Choose destination directory to export all SDKs</source>
        <translation>Zielordner für den Export aller SDKs wählen</translation>
    </message>
    <message>
        <source>SDKs already exist.</source>
        <translation>SDKs sind schon vorhanden.</translation>
    </message>
    <message>
        <source>SDKs already exist in the destination directory and cannot be overwritten.</source>
        <translation>Im Zielordner sind schon SDKs vorhanden. Sie können nicht überschrieben werden.</translation>
    </message>
    <message>
        <source>Choose SDK file or directory of SDKs to import</source>
        <translation>SDK-Datei oder Ordner mit SDKs zum Importieren wählen</translation>
    </message>
    <message>
        <source>SDKs not found.</source>
        <translation>Keine SDKs gefunden.</translation>
    </message>
    <message>
        <source>There were no SDKs in the chosen directory.</source>
        <translation>Im gewählten Ordner waren keine SDKs.</translation>
    </message>
    <message>
        <source>Importing SDKs...</source>
        <translation>SDKs werden importiert …</translation>
    </message>
    <message>
        <source>This process could take a long time.

You can safely quit Tarnwick as import will continue in the background.</source>
        <translation>Dieser Vorgang kann lange dauern.

Sie können Tarnwick unbesorgt beenden: Der Import läuft im Hintergrund weiter.</translation>
    </message>
    <message>
        <source>SDKs already exist in Xcode and cannot be overwritten.</source>
        <translation>Die SDKs sind in Xcode schon vorhanden und können nicht überschrieben werden.</translation>
    </message>
</context>
<context>
    <name>MenuBar</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Tarnwick</source>
        <translation>Ü&amp;ber Tarnwick</translation>
    </message>
</context>
<context>
    <name>OpenPanel</name>
    <message>
        <source>SDKs (%1)</source>
        <translation>SDKs (%1)</translation>
    </message>
</context>
<context>
    <name>RunMessages</name>
    <message>
        <source>Fixing 1 SDK</source>
        <translation>1 SDK wird repariert</translation>
    </message>
    <message numerus="yes">
        <source>Fixing %n SDKs</source>
        <translation>
            <numerusform>%n SDK wird repariert</numerusform>
            <numerusform>%n SDKs werden repariert</numerusform>
        </translation>
    </message>
    <message>
        <source>Restoring 1 SDK</source>
        <translation>1 SDK wird wiederhergestellt</translation>
    </message>
    <message numerus="yes">
        <source>Restoring %n SDKs</source>
        <translation>
            <numerusform>%n SDK wird wiederhergestellt</numerusform>
            <numerusform>%n SDKs werden wiederhergestellt</numerusform>
        </translation>
    </message>
    <message>
        <source>Exporting 1 SDK</source>
        <translation>1 SDK wird exportiert</translation>
    </message>
    <message numerus="yes">
        <source>Exporting %n SDKs</source>
        <translation>
            <numerusform>%n SDK wird exportiert</numerusform>
            <numerusform>%n SDKs werden exportiert</numerusform>
        </translation>
    </message>
    <message>
        <source>Importing 1 SDK</source>
        <translation>1 SDK wird importiert</translation>
    </message>
    <message numerus="yes">
        <source>Importing %n SDKs</source>
        <translation>
            <numerusform>%n SDK wird importiert</numerusform>
            <numerusform>%n SDKs werden importiert</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2 bytes</source>
        <translation>%1 von %2 Bytes</translation>
    </message>
    <message>
        <source>%1 of %2 %3</source>
        <translation>%1 von %2 %3</translation>
    </message>
    <message>
        <source>No SDK was fixed.</source>
        <translation>Kein SDK wurde repariert.</translation>
    </message>
    <message>
        <source>No SDK was restored.</source>
        <translation>Kein SDK wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>No SDK was exported.</source>
        <translation>Kein SDK wurde exportiert.</translation>
    </message>
    <message>
        <source>No SDK was imported.</source>
        <translation>Kein SDK wurde importiert.</translation>
    </message>
    <message>
        <source>%1 of 1 SDK could not be exported.</source>
        <translation>Export bei %1 von 1 SDK fehlgeschlagen.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n SDKs could not be exported.</source>
        <translation>
            <numerusform>Export bei %1 von %n SDK fehlgeschlagen.</numerusform>
            <numerusform>Export bei %1 von %n SDKs fehlgeschlagen.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of 1 SDK could not be imported.</source>
        <translation>Import bei %1 von 1 SDK fehlgeschlagen.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n SDKs could not be imported.</source>
        <translation>
            <numerusform>Import bei %1 von %n SDK fehlgeschlagen.</numerusform>
            <numerusform>Import bei %1 von %n SDKs fehlgeschlagen.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of 1 action failed.</source>
        <translation>%1 von 1 Aktion fehlgeschlagen.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n actions failed.</source>
        <translation>
            <numerusform>%1 von %n Aktion fehlgeschlagen.</numerusform>
            <numerusform>%1 von %n Aktionen fehlgeschlagen.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 was already there</source>
        <translation>%1 war schon vorhanden</translation>
    </message>
    <message>
        <source>%1 and %2 were already there</source>
        <translation>%1 und %2 waren schon vorhanden</translation>
    </message>
    <message>
        <source>%1, %2 and %3 were already there</source>
        <translation>%1, %2 und %3 waren schon vorhanden</translation>
    </message>
    <message numerus="yes">
        <source>%n SDKs were already there</source>
        <translation>
            <numerusform>%n SDK war schon vorhanden</numerusform>
            <numerusform>%n SDKs waren schon vorhanden</numerusform>
        </translation>
    </message>
    <message>
        <source>Exported %1 to %2</source>
        <translation>%1 nach %2 exportiert</translation>
    </message>
    <message numerus="yes">
        <source>Exported %n SDKs to %1</source>
        <translation>
            <numerusform>%n SDK nach %1 exportiert</numerusform>
            <numerusform>%n SDKs nach %1 exportiert</numerusform>
        </translation>
    </message>
    <message>
        <source>Imported %1 from %2</source>
        <translation>%1 aus %2 importiert</translation>
    </message>
    <message numerus="yes">
        <source>Imported %n SDKs from %1</source>
        <translation>
            <numerusform>%n SDK aus %1 importiert</numerusform>
            <numerusform>%n SDKs aus %1 importiert</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 fixed.</source>
        <translation>%1 repariert.</translation>
    </message>
    <message numerus="yes">
        <source>%n SDKs fixed.</source>
        <translation>
            <numerusform>%n SDK repariert.</numerusform>
            <numerusform>%n SDKs repariert.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 restored.</source>
        <translation>%1 wiederhergestellt.</translation>
    </message>
    <message numerus="yes">
        <source>%n SDKs restored.</source>
        <translation>
            <numerusform>%n SDK wiederhergestellt.</numerusform>
            <numerusform>%n SDKs wiederhergestellt.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1.</translation>
    </message>
    <message>
        <source>%1; %2.</source>
        <translation>%1; %2.</translation>
    </message>
    <message>
        <source>No SDK was changed: the administrator password was not given.</source>
        <translation>Kein SDK wurde geändert: Das Administratorpasswort wurde nicht eingegeben.</translation>
    </message>
    <message>
        <source>No SDK was changed: administrator rights could not be obtained.</source>
        <translation>Kein SDK wurde geändert: Administratorrechte waren nicht zu erhalten.</translation>
    </message>
    <message>
        <source>%1…</source>
        <translation>%1 …</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Tarnwick&apos;s helper refused the list of actions as a whole, so nothing was changed.</source>
        <translation>Der Helfer von Tarnwick hat die Liste der Aktionen als Ganzes abgelehnt, daher wurde nichts geändert.</translation>
    </message>
    <message numerus="yes">
        <source>And %n more.</source>
        <translation>
            <numerusform>Und %n weitere.</numerusform>
            <numerusform>Und %n weitere.</numerusform>
        </translation>
    </message>
    <message>
        <source>The work was stopped before it was done.</source>
        <translation>Die Arbeit wurde abgebrochen, bevor sie fertig war.</translation>
    </message>
    <message>
        <source>Tarnwick&apos;s helper was ended by signal %1. Some actions may not have been carried out.</source>
        <translation>Der Helfer von Tarnwick wurde durch Signal %1 beendet. Einige Aktionen wurden möglicherweise nicht ausgeführt.</translation>
    </message>
    <message>
        <source>Some actions failed.</source>
        <translation>Einige Aktionen sind fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Tarnwick&apos;s helper ended with status %1. It names each failed action in the system log.</source>
        <translation>Der Helfer von Tarnwick endete mit Status %1. Er nennt jede fehlgeschlagene Aktion im Systemprotokoll.</translation>
    </message>
    <message>
        <source>Putting back 1 SDK</source>
        <translation>1 SDK wird zurückgesetzt</translation>
    </message>
    <message numerus="yes">
        <source>Putting back %n SDKs</source>
        <translation>
            <numerusform>%n SDK wird zurückgesetzt</numerusform>
            <numerusform>%n SDKs werden zurückgesetzt</numerusform>
        </translation>
    </message>
    <message>
        <source>No SDK was put back.</source>
        <translation>Kein SDK wurde zurückgesetzt.</translation>
    </message>
    <message>
        <source>%1 was put back as it was.</source>
        <translation>%1 wurde in den vorigen Zustand zurückgesetzt.</translation>
    </message>
    <message numerus="yes">
        <source>%n SDKs were put back as they were.</source>
        <translation>
            <numerusform>%n SDK wurde in den vorigen Zustand zurückgesetzt.</numerusform>
            <numerusform>%n SDKs wurden in den vorigen Zustand zurückgesetzt.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>%1 fehlt</translation>
    </message>
    <message>
        <source>%1 cannot be read</source>
        <translation>%1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>%1 is not a file</source>
        <translation>%1 ist keine Datei</translation>
    </message>
    <message>
        <source>%1 is in the way</source>
        <translation>%1 ist im Weg</translation>
    </message>
    <message>
        <source>%1 was not restored: %2.</source>
        <translation>%1 wurde nicht wiederhergestellt: %2.</translation>
    </message>
    <message>
        <source>%1 was not fixed: %2.</source>
        <translation>%1 wurde nicht repariert: %2.</translation>
    </message>
    <message>
        <source>%1 could not be restored and was left as it was: %2.</source>
        <translation>%1 konnte nicht wiederhergestellt werden und blieb unverändert: %2.</translation>
    </message>
    <message>
        <source>%1 could not be put back: %2.</source>
        <translation>%1 konnte nicht zurückgesetzt werden: %2.</translation>
    </message>
    <message>
        <source>%1 could not be fixed and was left as it was: %2.</source>
        <translation>%1 konnte nicht repariert werden und blieb unverändert: %2.</translation>
    </message>
    <message>
        <source>%1 could not be restored, nor put back as it was: %2.</source>
        <translation>%1 konnte weder wiederhergestellt noch in den vorigen Zustand zurückgesetzt werden: %2.</translation>
    </message>
    <message>
        <source>%1 could not be fixed, nor put back as it was: %2.</source>
        <translation>%1 konnte weder repariert noch in den vorigen Zustand zurückgesetzt werden: %2.</translation>
    </message>
    <message numerus="yes">
        <source>%n SDKs could not be restored.</source>
        <translation>
            <numerusform>%n SDK konnte nicht wiederhergestellt werden.</numerusform>
            <numerusform>%n SDKs konnten nicht wiederhergestellt werden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n SDKs could not be put back.</source>
        <translation>
            <numerusform>%n SDK konnte nicht zurückgesetzt werden.</numerusform>
            <numerusform>%n SDKs konnten nicht zurückgesetzt werden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n SDKs could not be fixed.</source>
        <translation>
            <numerusform>%n SDK konnte nicht repariert werden.</numerusform>
            <numerusform>%n SDKs konnten nicht repariert werden.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RunsUnderWay</name>
    <message>
        <source>Waiting for administrator rights…</source>
        <translation>Warten auf Administratorrechte …</translation>
    </message>
</context>
<context>
    <name>SdkTableModel</name>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Put Back</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Fix</source>
        <translation>Reparieren</translation>
    </message>
    <message>
        <source>A change of this SDK was interrupted. Put Back returns it to how it was before.</source>
        <translation>Eine Änderung dieses SDKs wurde unterbrochen. „Zurücksetzen“ stellt den Zustand davor wieder her.</translation>
    </message>
    <message>
        <source>Only SDKs 10.7 to 10.13 can be fixed or restored.</source>
        <translation>Nur die SDKs 10.7 bis 10.13 lassen sich reparieren oder wiederherstellen.</translation>
    </message>
    <message>
        <source>Fixing and restoring need MacOSX10.6.sdk: import it first.</source>
        <translation>Reparieren und Wiederherstellen brauchen MacOSX10.6.sdk: Importieren Sie es zuerst.</translation>
    </message>
</context>
<context>
    <name>SdkTableView</name>
    <message>
        <source>%1 %2</source>
        <comment>a row button read out: what it does, to which SDK</comment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>TableCellView</name>
    <message>
        <source>Fix</source>
        <translation>Reparieren</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Tarnwick</source>
        <translation>Tarnwick</translation>
    </message>
    <message>
        <source>SDKs</source>
        <translation>SDKs</translation>
    </message>
    <message>
        <source>Show in Files</source>
        <translation>Im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Hold Alt or use a row’s menu to export one SDK.</source>
        <translation>Ein einzelnes SDK exportieren: Alt gedrückt halten oder das Menü der Zeile nutzen.</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Fix All</source>
        <translation>Alle reparieren</translation>
    </message>
    <message>
        <source>Restore All</source>
        <translation>Alle wiederherstellen</translation>
    </message>
    <message>
        <source>Export All…</source>
        <translation>Alle exportieren …</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importieren …</translation>
    </message>
</context>
</TS>
