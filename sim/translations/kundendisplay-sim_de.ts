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
    <message>
        <source>Opens no window and needs no X server: the same inputs, command sets, recording and replay; the events (ready, screen) go to standard output as JSON Lines. Ends on SIGTERM or SIGINT.</source>
        <translation>Öffnet kein Fenster und braucht keinen X-Server: dieselben Eingänge, Befehlssätze, Aufzeichnung und Wiedergabe; die Ereignisse (ready, screen) gehen als JSON Lines auf die Standardausgabe. Endet mit SIGTERM oder SIGINT.</translation>
    </message>
    <message>
        <source>With --headless: a &quot;command&quot; event per command too.</source>
        <translation>Mit --headless: zusätzlich ein Ereignis &quot;command&quot; je Befehl.</translation>
    </message>
    <message>
        <source>With --print or --headless: writes the picture of the display, as the window shows it, as a PNG to FILE at the end.</source>
        <translation>Mit --print oder --headless: schreibt beim Ende das Bild des Displays, wie das Fenster es zeigt, als PNG in DATEI.</translation>
    </message>
    <message>
        <source>Opens no USB socket. With --com 0 the display enters nothing for the user and takes no lock: any number run side by side.</source>
        <translation>Öffnet keinen USB-Socket. Mit --com 0 trägt das Display nichts beim Benutzer ein und nimmt keine Sperre: beliebig viele laufen nebeneinander.</translation>
    </message>
    <message>
        <source>Takes bytes over TCP: one client at a time, at HOST (default 127.0.0.1) and PORT (0: the system chooses; the ready event and the window name it).</source>
        <translation>Nimmt Bytes über TCP an: ein Client zur Zeit, an RECHNER (Vorgabe 127.0.0.1) und PORT (0: das System wählt; das Ereignis ready und das Fenster nennen ihn).</translation>
    </message>
    <message>
        <source>[HOST:]PORT</source>
        <translation>[RECHNER:]PORT</translation>
    </message>
    <message>
        <source>--print and --headless exclude each other</source>
        <translation>--print und --headless schließen einander aus</translation>
    </message>
    <message>
        <source>--log goes only with --headless</source>
        <translation>--log gilt nur mit --headless</translation>
    </message>
    <message>
        <source>--png needs a file name</source>
        <translation>--png braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>--png goes only with --print or --headless; in the window Ctrl+S saves the picture</source>
        <translation>--png gilt nur mit --print oder --headless; im Fenster speichert Strg+S das Bild</translation>
    </message>
    <message>
        <source>--print and --tcp exclude each other</source>
        <translation>--print und --tcp schließen einander aus</translation>
    </message>
    <message>
        <source>Invalid value for --tcp: &quot;%1&quot; (expected [HOST:]PORT with PORT from 0 to 65535)</source>
        <translation>Ungültiger Wert für --tcp: &quot;%1&quot; (erwartet [RECHNER:]PORT mit PORT von 0 bis 65535)</translation>
    </message>
    <message>
        <source>Takes bytes over Telnet with the COM port control option (RFC 2217), one client at a time, so that the sender sets speed, parity, data bits and stop bits as on a real port; HOST and PORT as for --tcp.</source>
        <translation>Nimmt Bytes über Telnet mit der COM-Port-Option (RFC 2217) an, ein Client zur Zeit, sodass der Sender Geschwindigkeit, Parität, Datenbits und Stoppbits wie an einem echten Port setzt; RECHNER und PORT wie bei --tcp.</translation>
    </message>
    <message>
        <source>The display&apos;s own line, as its switches set it: baud,parity,data,stop (for example 9600,N,8,1). A sender on another line is read as a real display would read it. Default: the command set&apos;s usual line.</source>
        <translation>Die eigene Leitung des Displays, wie seine Schalter sie setzen: Baud,Parität,Daten,Stopp (zum Beispiel 9600,N,8,1). Ein Sender mit anderer Leitung wird gelesen, wie ein echtes Display ihn lesen würde. Vorgabe: die übliche Leitung des Befehlssatzes.</translation>
    </message>
    <message>
        <source>SETTINGS</source>
        <translation>EINSTELLUNGEN</translation>
    </message>
    <message>
        <source>--print and --rfc2217 exclude each other</source>
        <translation>--print und --rfc2217 schließen einander aus</translation>
    </message>
    <message>
        <source>Invalid value for --rfc2217: &quot;%1&quot; (expected [HOST:]PORT with PORT from 0 to 65535)</source>
        <translation>Ungültiger Wert für --rfc2217: &quot;%1&quot; (erwartet [RECHNER:]PORT mit PORT von 0 bis 65535)</translation>
    </message>
    <message>
        <source>Invalid value for --line: &quot;%1&quot;: %2</source>
        <translation>Ungültiger Wert für --line: &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>BA63/BA66: what a character after column 20 does: &quot;pending&quot; (the default: it goes to the start of the next line) or &quot;clamp&quot; (it overwrites column 20).</source>
        <translation>BA63/BA66: was ein Zeichen nach Spalte 20 tut: &quot;pending&quot; (Vorgabe: es geht an den Anfang der nächsten Zeile) oder &quot;clamp&quot; (es überschreibt Spalte 20).</translation>
    </message>
    <message>
        <source>MODE</source>
        <translation>MODUS</translation>
    </message>
    <message>
        <source>What the display answers when asked who it is (BA63/BA66 ESC [ 0 c, IEE ESC 05 I), as hex bytes (for example &quot;42 41 36 33 0D&quot;), or &quot;none&quot;. Default: the set&apos;s own answer (none for the BA63/BA66).</source>
        <translation>Was das Display antwortet, wenn es nach seiner Kennung gefragt wird (BA63/BA66 ESC [ 0 c, IEE ESC 05 I), als Hex-Bytes (zum Beispiel &quot;42 41 36 33 0D&quot;), oder &quot;none&quot;. Vorgabe: die eigene Antwort des Befehlssatzes (keine beim BA63/BA66).</translation>
    </message>
    <message>
        <source>HEX</source>
        <translation>HEX</translation>
    </message>
    <message>
        <source>Invalid value for --wrap: &quot;%1&quot; (expected pending or clamp)</source>
        <translation>Ungültiger Wert für --wrap: &quot;%1&quot; (erwartet: pending oder clamp)</translation>
    </message>
    <message>
        <source>Invalid value for --identification: &quot;%1&quot; (expected hex bytes such as &quot;44 2C 32 0D&quot;, or none)</source>
        <translation>Ungültiger Wert für --identification: &quot;%1&quot; (erwartet: Hex-Bytes wie &quot;44 2C 32 0D&quot; oder none)</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>another start: window brought to the front</source>
        <translation>ein weiterer Start: Fenster nach vorn geholt</translation>
    </message>
    <message>
        <source>; its window cannot be brought to the front: </source>
        <translation>; sein Fenster lässt sich nicht nach vorn holen: </translation>
    </message>
    <message>
        <source>; its window is now in front</source>
        <translation>; sein Fenster ist jetzt vorn</translation>
    </message>
</context>
<context>
    <name>kd::sim::DisplayLock</name>
    <message>
        <source>Lock %1 cannot be created: %2</source>
        <translation>Sperre %1 lässt sich nicht anlegen: %2</translation>
    </message>
    <message>
        <source>it is a symbolic link and is not used</source>
        <translation>ist ein symbolischer Link und wird nicht benutzt</translation>
    </message>
    <message>
        <source>it is not a regular file of the user</source>
        <translation>ist keine gewöhnliche Datei des Benutzers</translation>
    </message>
    <message>
        <source>A virtual display is already running (lock %1)</source>
        <translation>Ein virtuelles Display läuft bereits (Sperre %1)</translation>
    </message>
</context>
<context>
    <name>kd::sim::DisplayPicture</name>
    <message>
        <source>Picture %1 cannot be written: %2</source>
        <translation>Bild %1 lässt sich nicht schreiben: %2</translation>
    </message>
</context>
<context>
    <name>kd::sim::DisplayService</name>
    <message>
        <source>Command set %1, power-on state</source>
        <translation>Befehlssatz %1, Grundzustand</translation>
    </message>
    <message>
        <source>Line: %1</source>
        <translation>Leitung: %1</translation>
    </message>
    <message>
        <source>Display %1, sender&apos;s line unknown (a match is assumed)</source>
        <translation>Display %1, Leitung des Senders unbekannt (Übereinstimmung angenommen)</translation>
    </message>
    <message>
        <source>Sender %1, Display %2</source>
        <translation>Sender %1, Display %2</translation>
    </message>
    <message>
        <source> (match)</source>
        <translation> (stimmen überein)</translation>
    </message>
    <message numerus="yes">
        <source>, %n framing error(s)</source>
        <translation>
            <numerusform>, %n Rahmenfehler</numerusform>
            <numerusform>, %n Rahmenfehler</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n parity error(s)</source>
        <translation>
            <numerusform>, %n Paritätsfehler</numerusform>
            <numerusform>, %n Paritätsfehler</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 bytes sent, %2 read; %3</source>
        <translation>%1 Bytes gesendet, %2 gelesen; %3</translation>
    </message>
    <message>
        <source>another start of the display: window brought to the front</source>
        <translation>ein weiterer Start des Displays: Fenster nach vorn geholt</translation>
    </message>
    <message>
        <source>4 fields &quot;baud,parity,data,stop&quot; expected, %1 found</source>
        <translation>erwartet werden 4 Felder &quot;Baudrate,Parität,Datenbits,Stoppbits&quot;, gefunden %1</translation>
    </message>
    <message>
        <source>baud rate &quot;%1&quot; is no standard baud rate</source>
        <translation>Baudrate &quot;%1&quot; ist keine Standard-Baudrate</translation>
    </message>
    <message>
        <source>parity &quot;%1&quot; is not N, E, O, M or S</source>
        <translation>Parität &quot;%1&quot; ist nicht N, E, O, M oder S</translation>
    </message>
    <message>
        <source>data bits &quot;%1&quot; are not between 5 and 8</source>
        <translation>Datenbits &quot;%1&quot; liegen nicht zwischen 5 und 8</translation>
    </message>
    <message>
        <source>stop bits &quot;%1&quot; are not 1, 1.5 or 2</source>
        <translation>Stoppbits &quot;%1&quot; sind nicht 1, 1.5 oder 2</translation>
    </message>
    <message numerus="yes">
        <source>, %n answer byte(s) not sent back</source>
        <translation>
            <numerusform>, %n Antwortbyte nicht zurückgeschickt</numerusform>
            <numerusform>, %n Antwortbytes nicht zurückgeschickt</numerusform>
        </translation>
    </message>
    <message>
        <source>The display&apos;s line is now %1</source>
        <translation>Die Leitung des Displays ist jetzt %1</translation>
    </message>
    <message numerus="yes">
        <source>%n answer byte(s) not sent back: %1 (%2 in all)</source>
        <translation>
            <numerusform>%n Antwortbyte nicht zurückgeschickt: %1 (%2 insgesamt)</numerusform>
            <numerusform>%n Antwortbytes nicht zurückgeschickt: %1 (%2 insgesamt)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>kd::sim::GuiProgram</name>
    <message>
        <source>The window program %1 cannot be started: %2</source>
        <translation>Das Fensterprogramm %1 lässt sich nicht starten: %2</translation>
    </message>
</context>
<context>
    <name>kd::sim::Inputs</name>
    <message>
        <source>No pseudo-terminal for --serial-link %1</source>
        <translation>Kein Pseudo-Terminal für --serial-link %1</translation>
    </message>
    <message>
        <source>COM port control option agreed</source>
        <translation>COM-Port-Option vereinbart</translation>
    </message>
    <message>
        <source>the sender sets its line to %1</source>
        <translation>der Sender setzt seine Leitung auf %1</translation>
    </message>
    <message>
        <source>the sender asks for the %1</source>
        <translation>der Sender fragt nach: %1</translation>
    </message>
    <message>
        <source>answered: %1</source>
        <translation>beantwortet: %1</translation>
    </message>
    <message>
        <source>broken subnegotiation refused: %1</source>
        <translation>fehlerhafte Unterverhandlung abgewiesen: %1</translation>
    </message>
    <message>
        <source>refused, the line stays as it is: %1</source>
        <translation>abgewiesen, die Leitung bleibt, wie sie ist: %1</translation>
    </message>
    <message>
        <source>data without the COM port option: the sender&apos;s line is unknown, a match is assumed</source>
        <translation>Daten ohne COM-Port-Option: die Leitung des Senders ist unbekannt, es wird Übereinstimmung angenommen</translation>
    </message>
    <message>
        <source>the USB socket has no way back</source>
        <translation>der USB-Socket hat keinen Rückweg</translation>
    </message>
    <message>
        <source>a replay has no way back</source>
        <translation>eine Wiedergabe hat keinen Rückweg</translation>
    </message>
    <message>
        <source>the sender does not read what the display answers</source>
        <translation>der Sender liest nicht, was das Display antwortet</translation>
    </message>
</context>
<context>
    <name>kd::sim::PortMapEntry</name>
    <message>
        <source>No port map entry possible: </source>
        <translation>Portzuordnung nicht möglich: </translation>
    </message>
</context>
<context>
    <name>kd::sim::RaiseListener</name>
    <message>
        <source>Socket %1 cannot be opened: %2</source>
        <translation>Socket %1 lässt sich nicht öffnen: %2</translation>
    </message>
    <message>
        <source>%1 does not answer: %2</source>
        <translation>%1 antwortet nicht: %2</translation>
    </message>
    <message>
        <source>%1 gives an answer that makes no sense</source>
        <translation>%1 antwortet unverständlich</translation>
    </message>
</context>
<context>
    <name>kd::sim::Recorder</name>
    <message>
        <source>the file takes nothing more without waiting (is nobody reading it?)</source>
        <translation>die Datei nimmt nichts mehr an, ohne zu warten (liest niemand mit?)</translation>
    </message>
    <message>
        <source>--record: recording %1 cannot be written: %2</source>
        <translation>--record: Aufzeichnung %1 lässt sich nicht schreiben: %2</translation>
    </message>
    <message>
        <source>nobody reads at the other end of the pipe</source>
        <translation>niemand liest am anderen Ende der Pipe</translation>
    </message>
    <message>
        <source>--record: recording %1 ended: %2</source>
        <translation>--record: Aufzeichnung %1 beendet: %2</translation>
    </message>
    <message>
        <source>it lasts longer than a recording can hold</source>
        <translation>sie dauert länger, als eine Aufzeichnung fassen kann</translation>
    </message>
</context>
<context>
    <name>kd::sim::Replay</name>
    <message>
        <source>a pipe</source>
        <translation>eine Pipe</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>ein Gerät</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>ein Ordner</translation>
    </message>
    <message>
        <source>no file</source>
        <translation>keine Datei</translation>
    </message>
    <message>
        <source>--replay: recording %1 cannot be played: %2</source>
        <translation>--replay: Aufzeichnung %1 lässt sich nicht abspielen: %2</translation>
    </message>
    <message>
        <source>it is not a regular file but %1</source>
        <translation>ist keine gewöhnliche Datei, sondern %1</translation>
    </message>
    <message>
        <source>--replay: playing %1 stopped: %2</source>
        <translation>--replay: Wiedergabe von %1 abgebrochen: %2</translation>
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
    <message>
        <source>&amp;Save picture of the display …</source>
        <translation>Bild des Displays &amp;speichern …</translation>
    </message>
    <message>
        <source>Save picture of the display</source>
        <translation>Bild des Displays speichern</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>&amp;Line:</source>
        <translation>&amp;Leitung:</translation>
    </message>
    <message>
        <source>The display&apos;s own line, as its switches set it: baud,parity,data,stop</source>
        <translation>Die eigene Leitung des Displays, wie seine Schalter sie setzen: Baud,Parität,Daten,Stopp</translation>
    </message>
    <message>
        <source>Line: %1</source>
        <translation>Leitung: %1</translation>
    </message>
</context>
<context>
    <name>kd::sim::SingleClient</name>
    <message>
        <source>client sends nothing: disconnected</source>
        <translation>Client sendet nichts: getrennt</translation>
    </message>
    <message>
        <source>another connection refused (one client at a time)</source>
        <translation>weitere Verbindung abgewiesen (ein Client zur Zeit)</translation>
    </message>
    <message>
        <source>connected</source>
        <translation>verbunden</translation>
    </message>
    <message>
        <source>disconnected</source>
        <translation>getrennt</translation>
    </message>
</context>
<context>
    <name>kd::sim::TcpInput</name>
    <message>
        <source>host %1 not found: %2</source>
        <translation>Rechner %1 nicht gefunden: %2</translation>
    </message>
    <message>
        <source>no address</source>
        <translation>keine Adresse</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 lässt sich nicht öffnen: %2</translation>
    </message>
</context>
<context>
    <name>kd::sim::TerminalInput</name>
    <message>
        <source>Pseudo-terminal cannot be created: </source>
        <translation>Pseudo-Terminal lässt sich nicht anlegen: </translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Seriell</translation>
    </message>
</context>
<context>
    <name>kd::sim::TerminalLink</name>
    <message>
        <source>%1 already exists and is no link</source>
        <translation>%1 ist schon vorhanden und kein Link</translation>
    </message>
    <message>
        <source>%1 already leads to %2 and is not replaced</source>
        <translation>%1 führt schon nach %2 und wird nicht ersetzt</translation>
    </message>
    <message>
        <source>%1 cannot be created: %2</source>
        <translation>%1 lässt sich nicht anlegen: %2</translation>
    </message>
</context>
<context>
    <name>kd::sim::UsbSocketInput</name>
    <message>
        <source>a folder stands in its place</source>
        <translation>an seiner Stelle steht ein Ordner</translation>
    </message>
    <message>
        <source>Socket %1 cannot be opened: %2</source>
        <translation>Socket %1 lässt sich nicht öffnen: %2</translation>
    </message>
</context>
<context>
    <name>kd::sim::WithoutWindow</name>
    <message>
        <source>this program draws no pictures</source>
        <translation>dieses Programm zeichnet keine Bilder</translation>
    </message>
</context>
</TS>
