<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Virtual customer display: shows what a two-line, 20-column customer display would show, and takes its bytes over a socket (USB) and a pseudo-terminal (serial).</source>
        <translation>Virtuelles Kundendisplay: zeigt, was ein zweizeiliges Kundendisplay mit 20 Spalten anzeigen würde, und nimmt seine Bytes über einen Socket (USB) und ein Pseudo-Terminal (seriell) an.</translation>
    </message>
    <message>
        <source>Shows this help and ends.</source>
        <translation>Zeigt diese Hilfe und endet.</translation>
    </message>
    <message>
        <source>Shows the version and ends.</source>
        <translation>Zeigt die Version und endet.</translation>
    </message>
    <message>
        <source>Starts in the command set NAME: %1. Without the option: the last choice in the window (with --print: standard).</source>
        <translation>Startet im Befehlssatz NAME: %1. Ohne die Option: die letzte Wahl im Fenster (bei --print: standard).</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>Enters the pseudo-terminal as port number N (1 to 20, 0: not at all) in the user&apos;s port map. Default: 1.</source>
        <translation>Trägt das Pseudo-Terminal als Portnummer N (1 bis 20, 0: gar nicht) in die Portzuordnung des Benutzers ein. Vorgabe: 1.</translation>
    </message>
    <message>
        <source>Makes a symbolic link to the pseudo-terminal at PATH and removes it at the end. Replaces only a stale link of its own.</source>
        <translation>Legt unter PFAD einen symbolischen Link auf das Pseudo-Terminal an und entfernt ihn beim Ende. Ersetzt nur einen veralteten eigenen Link.</translation>
    </message>
    <message>
        <source>PATH</source>
        <translation>PFAD</translation>
    </message>
    <message>
        <source>Opens no window: reads the bytes from FILE (without FILE from standard input, a recording of --record too), prints the two lines and the state line, and ends.</source>
        <translation>Öffnet kein Fenster: liest die Bytes aus DATEI (ohne DATEI von der Standardeingabe, auch eine Aufzeichnung von --record), gibt die zwei Zeilen und die Zustandszeile aus und endet.</translation>
    </message>
    <message>
        <source>Writes every byte received on either input, with its time, to FILE.</source>
        <translation>Schreibt jedes empfangene Byte beider Eingänge mit seiner Zeit in DATEI.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>DATEI</translation>
    </message>
    <message>
        <source>Plays a recording of --record into the window at its pace.</source>
        <translation>Spielt eine Aufzeichnung von --record im Fenster in ihrem Tempo ab.</translation>
    </message>
    <message>
        <source>With --print: the file with the bytes.</source>
        <translation>Mit --print: die Datei mit den Bytes.</translation>
    </message>
    <message>
        <source>[FILE]</source>
        <translation>[DATEI]</translation>
    </message>
    <message>
        <source>Unknown command set &quot;%1&quot;; the valid ones are: %2</source>
        <translation>Unbekannter Befehlssatz &quot;%1&quot;; gültig sind: %2</translation>
    </message>
    <message>
        <source>Invalid port number for --com: &quot;%1&quot; (0 to 20 are allowed)</source>
        <translation>Ungültige Portnummer für --com: &quot;%1&quot; (erlaubt sind 0 bis 20)</translation>
    </message>
    <message>
        <source>--print reads at most one file</source>
        <translation>--print liest höchstens eine Datei</translation>
    </message>
    <message>
        <source>Unexpected argument &quot;%1&quot;</source>
        <translation>Unerwartetes Argument &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--print and --replay exclude each other</source>
        <translation>--print und --replay schließen einander aus</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>Recording %1 cannot be read: %2</source>
        <translation>Aufzeichnung %1 lässt sich nicht lesen: %2</translation>
    </message>
</context>
<context>
    <name>kd::sim::SimWindow</name>
    <message>
        <source>Virtual Customer Display</source>
        <translation>Virtuelles Kundendisplay</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Line %1 of the display</source>
        <translation>Zeile %1 des Displays</translation>
    </message>
    <message>
        <source>&amp;Command set:</source>
        <translation>&amp;Befehlssatz:</translation>
    </message>
    <message>
        <source>State of the display</source>
        <translation>Zustand des Displays</translation>
    </message>
    <message>
        <source>Received:</source>
        <translation>Empfangen:</translation>
    </message>
    <message>
        <source>Received (older entries dropped: %1 KiB):</source>
        <translation>Empfangen (ältere Einträge verworfen: %1 KiB):</translation>
    </message>
    <message>
        <source>, entered as COM%1</source>
        <translation>, als COM%1 eingetragen</translation>
    </message>
    <message>
        <source>USB (socket): %1
Serial (pseudo-terminal): %2</source>
        <translation>USB (Socket): %1
Seriell (Pseudo-Terminal): %2</translation>
    </message>
</context>
</TS>
