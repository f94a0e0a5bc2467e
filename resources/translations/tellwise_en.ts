<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="hr_HR">
<context>
    <name>AddressBook</name>
    <message>
        <location filename="../../src/store/AddressBook.cpp" line="+23"/>
        <source>Osoba pod tim imenom već postoji!</source>
        <translation>A contact with that name already exists!</translation>
    </message>
    <message>
        <location line="+185"/>
        <source>Bez grupe</source>
        <translation>No group</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Crna Lista</source>
        <translation>Black List</translation>
    </message>
    <message>
        <location line="+182"/>
        <location line="+69"/>
        <source>Grupa pod tim imenom već postoji!</source>
        <translation>A group with that name already exists!</translation>
    </message>
</context>
<context>
    <name>CallNotifier</name>
    <message>
        <location filename="../../src/platform/CallNotifierDBus.cpp" line="+57"/>
        <source>Broj: %1</source>
        <translation>Number: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pozvani broj: %1</source>
        <translation>Called number: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Na crnoj listi!</source>
        <translation>On the black list!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Odbij</source>
        <translation>Reject</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Pozivi</source>
        <translation>Calls</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Dodaj u adresar</source>
        <translation>Add to address book</translation>
    </message>
</context>
<context>
    <name>CallPlaceholders</name>
    <message>
        <location filename="../../src/store/CallPlaceholders.cpp" line="+13"/>
        <source>&lt; Nepoznat &gt;</source>
        <translation>&lt; Unknown &gt;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&lt; Sakriven &gt;</source>
        <translation>&lt; Withheld &gt;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&lt; Neidentificiran &gt;</source>
        <translation>&lt; Unidentified &gt;</translation>
    </message>
</context>
<context>
    <name>CallPublisher</name>
    <message>
        <location filename="../../src/app/CallPublisher.cpp" line="+221"/>
        <source>Zadnji poziv</source>
        <translation>Last call</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Poziv</source>
        <translation>Call</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Odbij poziv</source>
        <translation>Reject call</translation>
    </message>
    <message>
        <location line="+10"/>
        <source> Dijeljenje poziva: adresa posrednika nije ispravna</source>
        <translation> Call sharing: the broker&apos;s address is not valid</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Dijeljenje poziva: posrednik se ne javlja</source>
        <translation> Call sharing: the broker does not answer</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>; najstarijih događaja odbačeno: %1 (čuva se zadnjih %2)</source>
        <translation>; oldest events dropped: %1 (the last %2 are kept)</translation>
    </message>
</context>
<context>
    <name>DataFiles</name>
    <message>
        <location filename="../../src/store/DataFiles.cpp" line="+50"/>
        <location line="+109"/>
        <source>Dogodila se greška prilikom otvaranja datoteke!</source>
        <translation>An error occurred while opening the file!</translation>
    </message>
    <message>
        <location line="-80"/>
        <source>Čitanje datoteke nije uspjelo:</source>
        <translation>Could not read the file:</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Pisanje datoteke nije uspjelo:</source>
        <translation>Could not write the file:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Zamjena datoteke nije uspjela:</source>
        <translation>Could not replace the file:</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Spremanje mape nije uspjelo:</source>
        <translation>Could not save the folder:</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>Datoteka je oštećena: većinu njezinih zapisa nije moguće pročitati (ispravnih %1, neispravnih %2).
%3</source>
        <translation>The file is damaged: most of its records cannot be read (%1 readable, %2 unreadable).
%3</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Kopiju datoteke nije bilo moguće spremiti.</source>
        <translation>No copy of the file could be saved.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Datoteka je sačuvana kakva jest kao:
%1</source>
        <translation>The file has been kept as it is, as:
%1</translation>
    </message>
    <message>
        <location line="+201"/>
        <source>Promjena nije spremljena: datoteka je oštećena i ostaje kakva jest.
%1</source>
        <translation>The change was not saved: the file is damaged and stays as it is.
%1</translation>
    </message>
</context>
<context>
    <name>DialogSeams</name>
    <message>
        <location filename="../../src/ui/DialogSeams.cpp" line="+26"/>
        <location filename="../../src/ui/TfrmContactEdit.cpp" line="+213"/>
        <source>Informacija</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Odustani</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Exports</name>
    <message>
        <location filename="../../src/store/Exports.cpp" line="+201"/>
        <source>Datoteku %1 nije moguće zapisati: %2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
    <message>
        <location line="+96"/>
        <source>Tellwise Monitor - Pozivi</source>
        <translation>Tellwise Monitor - Calls</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Pozivi: %1 - %2</source>
        <translation>Calls: %1 - %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Pozivatelj</source>
        <translation>Caller</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Telefonski broj</source>
        <translation>Phone number</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pozvani broj</source>
        <translation>Called number</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Datum : Vrijeme</source>
        <translation>Date : Time</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nema podataka!</source>
        <translation>No data!</translation>
    </message>
</context>
<context>
    <name>ImportWab</name>
    <message>
        <location filename="../../src/exchange/ImportWabFunc.cpp" line="+465"/>
        <source>

Imena zapisana latinicom (datoteka adresara ne može zapisati njihova slova):  %1</source>
        <translation>

Names written in Latin letters (the address book file cannot hold their letters):  %1</translation>
    </message>
    <message>
        <location line="-369"/>
        <source>Poziv adresara nije uspio (kod 0x%1).</source>
        <translation>The address book call failed (code 0x%1).</translation>
    </message>
    <message>
        <location line="+127"/>
        <source>Datoteka ima više osoba nego što se odjednom može učitati: učitano ih je prvih %1, a %2 nije učitano.</source>
        <translation>The file holds more contacts than can be read at once: the first %1 were read, %2 were not.</translation>
    </message>
    <message>
        <location line="+97"/>
        <source>Kuća</source>
        <translation>Home</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mobitel</source>
        <translation>Mobile</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tvrtka</source>
        <translation>Company</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kuća (FAX)</source>
        <translation>Home (FAX)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Posao (FAX)</source>
        <translation>Business (FAX)</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Uvoz bi adresaru koji sada ima %1 osoba dodao još %2 osoba.</source>
        <translation>The import would add %2 contacts to an address book that now holds %1.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Za takav uvoz navedite %1.</source>
        <translation>For such an import, give %1.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Želite li ih doista dodati?</source>
        <translation>Do you really want to add them?</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Naziv osobe:  </source>
        <translation>Contact name:  </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Tvrtka:  </source>
        <translation>Company:  </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Telefonski brojevi:</source>
        <translation>Phone numbers:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>E-mail adrese:</source>
        <translation>E-mail addresses:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Internet adrese:</source>
        <translation>Web addresses:</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Nije snimljen niti jedan podatak, jer podaci označeni
za uvoz već postoje u adresaru!</source>
        <translation>Nothing was saved, because the data marked
for import already exist in the address book!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Podaci su snimljeni u grupu &quot;%1&quot;!</source>
        <translation>The data were saved in the group &quot;%1&quot;!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>

Od ukupno %1 označenih podataka snimljeno je %2. Nisu
upisani podaci koji već postoje u adresaru.</source>
        <translation>

Of %1 marked entries %2 were saved. Entries that already
exist in the address book were not written.</translation>
    </message>
</context>
<context>
    <name>LineState</name>
    <message>
        <location filename="../../src/app/LineState.cpp" line="+15"/>
        <source>Neaktivan</source>
        <translation>Inactive</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Pratim pozive</source>
        <translation>Monitoring calls</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Status:  %1!</source>
        <translation>Status:  %1!</translation>
    </message>
</context>
<context>
    <name>NetworkCallSource</name>
    <message>
        <location filename="../../src/telephony/NetworkCallSource.cpp" line="+63"/>
        <source>Nadzor poziva na usmjerivaču (TCP)</source>
        <translation>Router call monitor (TCP)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NCID klijent (TCP)</source>
        <translation>NCID client (TCP)</translation>
    </message>
</context>
<context>
    <name>NewCallIndicators</name>
    <message>
        <location filename="../../src/app/NewCallIndicators.cpp" line="+32"/>
        <source>Nemaš novih poziva!</source>
        <translation>You have no new calls!</translation>
    </message>
    <message numerus="yes">
        <location line="+12"/>
        <source>Imaš %1 novi poziv!</source>
        <translation>
            <numerusform>You have %1 new call!</numerusform>
            <numerusform>You have %1 new calls!</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Imaš %1 nova poziva!</source>
        <translation>You have %1 new calls!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Imaš %1 novih poziva!</source>
        <translation>You have %1 new calls!</translation>
    </message>
</context>
<context>
    <name>TCallRowsModel</name>
    <message>
        <location filename="../../src/ui/TCallRowsModel.cpp" line="+127"/>
        <source>Naziv pozivatelja</source>
        <translation>Caller name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Telefon pozivatelja</source>
        <translation>Caller number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pozvani broj</source>
        <translation>Called number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Datum  :  Vrijeme</source>
        <translation>Date  :  Time</translation>
    </message>
</context>
<context>
    <name>TCapiInfo</name>
    <message>
        <location filename="../../src/capi/CpInfo.cpp" line="+168"/>
        <source>Unutarnji kontroler</source>
        <translation>Internal controller supported</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Vanjski uređaji</source>
        <translation>External equipment supported</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Slušalica</source>
        <translation>Handset supported</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tonsko biranje (DTMF)</source>
        <translation>DTMF supported</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dodatne usluge</source>
        <translation>Supplementary Services</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dodjela kanala</source>
        <translation>Channel allocation supported</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>64 kbit/s s HDLC okvirima</source>
        <translation>64 kbit/s with HDLC framing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>64 kbit/s, bitovno prozirno, s okvirima bajtova iz mreže</source>
        <translation>64 kbit/s bit-transparent operation with byte framing from the network</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>V.110 asinkrono, sa start/stop okvirima bajtova</source>
        <translation>V.110 asynchronous operation with start/stop byte framing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>V.110 sinkrono, s HDLC okvirima</source>
        <translation>V.110 synchronous operation with HDLC framing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>T.30 modem za faks grupe 3</source>
        <translation>T.30 modem for fax group 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>64 kbit/s invertirano, s HDLC okvirima</source>
        <translation>64 kbit/s inverted with HDLC framing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>56 kbit/s, bitovno prozirno, s okvirima bajtova iz mreže</source>
        <translation>56 kbit/s bit-transparent operation with byte framing from the network</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Modem sa svim pregovaranjima</source>
        <translation>Modem with all negotiations</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Modem, asinkrono, sa start/stop okvirima bajtova</source>
        <translation>Modem asynchronous operation with start/stop byte framing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Modem, sinkrono, s HDLC okvirima</source>
        <translation>Modem synchronous operation with HDLC framing</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>ISO 7776 (X.75 SLP)</source>
        <translation>ISO 7776 (X.75 SLP)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+17"/>
        <source>Prozirno</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>SDLC</source>
        <translation>SDLC</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>LAPD prema Q.921 za X.25 na D-kanalu (SAPI 16)</source>
        <translation>LAPD in accordance with Q.921 for D-channel X.25 (SAPI 16)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+18"/>
        <source>T.30 za faks grupe 3</source>
        <translation>T.30 for fax group 3</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>Point-to-Point Protocol (PPP)</source>
        <translation>Point-to-Point Protocol (PPP)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prozirno (zanemaruje greške okvira B1 protokola)</source>
        <translation>Transparent (ignoring framing errors of B1 protocol)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ispravljanje grešaka i sažimanje modema (V.42 bis ili MNP5)</source>
        <translation>Modem error correction and compression (V.42 bis or MNP5)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ISO 7776 (X.75 SLP), izmijenjen za sažimanje V.42 bis</source>
        <translation>ISO 7776 (X.75 SLP) modified supporting V.42 bis compression</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>V.120 asinkroni način</source>
        <translation>V.120 asynchronous mode</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>V.120 asinkroni način s V.42 bis</source>
        <translation>V.120 asynchronous mode supporting V.42 bis</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>V.120 bitovno prozirni način</source>
        <translation>V.120 bit-transparent mode</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>LAPD prema Q.921 sa slobodnim izborom SAPI-ja</source>
        <translation>LAPD in accordance with Q.921 including free SAPI selection</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>T.90NL, sukladan s T.70NL prema dodatku II T.90</source>
        <translation>T.90NL with compatibility to T.70NL in accordance to T.90 Appendix II</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ISO 8208 (X.25 DTE-DTE)</source>
        <translation>ISO 8208 (X.25 DTE-DTE)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>X.25 DCE</source>
        <translation>X.25 DCE</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>T.30 za faks grupe 3 s proširenjima</source>
        <translation>T.30 for fax group 3 with extensions</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Modem</source>
        <translation>Modem</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Zadržavanje i nastavak poziva</source>
        <translation>Hold / Retrieve</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prijenosnost terminala</source>
        <translation>Terminal Portability</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prespajanje poziva (ECT)</source>
        <translation>ECT</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Konferencija u troje (3PTY)</source>
        <translation>3PTY</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preusmjeravanje poziva</source>
        <translation>Call-Forwarding</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Skretanje poziva</source>
        <translation>Call-Deflection</translation>
    </message>
</context>
<context>
    <name>TContactRowsModel</name>
    <message>
        <location filename="../../src/ui/TContactRowsModel.cpp" line="+86"/>
        <source>Ime osobe</source>
        <translation>Contact</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Tvrtka</source>
        <translation>Company</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Grupa</source>
        <translation>Group</translation>
    </message>
</context>
<context>
    <name>TfrmAbout</name>
    <message>
        <location filename="../../src/app/TfrmAbout.cpp" line="+28"/>
        <source>Prikaz pozivatelja za jednu telefonsku liniju: modem s prikazom broja,&lt;br&gt;ISDN adapter (CAPI 2.0) ili nadzor poziva na mreži.&lt;br&gt;&lt;br&gt;Broji i bilježi svaki poziv, pronalazi pozivatelja u adresaru&lt;br&gt;i prikazuje njegovo ime, broj, sliku i bilješke.&lt;br&gt;&lt;br&gt;Slobodan program pod licencom GNU GPL, verzije 3 ili novije.</source>
        <translation>Caller ID for one telephone line: a caller-ID modem,&lt;br&gt;an ISDN adapter (CAPI 2.0) or a call monitor on the network.&lt;br&gt;&lt;br&gt;Counts and logs every call, looks the caller up in the address book&lt;br&gt;and shows the caller&apos;s name, number, picture and notes.&lt;br&gt;&lt;br&gt;Free software under the GNU GPL, version 3 or later.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Podaci:</source>
        <translation>Data:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Postavke:</source>
        <translation>Settings:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Modemi:</source>
        <translation>Modems:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pozivni broj:</source>
        <translation>Area code:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dnevnik:</source>
        <translation>Log:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>standardni izlaz za greške (dnevnik sesije: journalctl --user ili ~/.xsession-errors)</source>
        <translation>standard error (the session log: journalctl --user or ~/.xsession-errors)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>O programu</source>
        <translation>About</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Datoteke</source>
        <translation>Files</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>U redu</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TfrmCallerNotes</name>
    <message>
        <location filename="../../src/ui/TfrmCallerNotes.cpp" line="+14"/>
        <source>Napomena</source>
        <translation>Notes</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Napomena: </source>
        <translation> Notes: </translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Zatvori</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>TfrmContact</name>
    <message>
        <location filename="../../src/ui/TfrmContact.cpp" line="+59"/>
        <location filename="../../src/ui/TfrmContactEdit.cpp" line="-157"/>
        <location line="+225"/>
        <source>Osoba:  </source>
        <translation>Contact:  </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Osoba</source>
        <translation>Contact</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+136"/>
        <source>Kuća</source>
        <translation>Home</translation>
    </message>
    <message>
        <location line="-135"/>
        <location line="+135"/>
        <source>Posao</source>
        <translation>Business</translation>
    </message>
    <message>
        <location line="-134"/>
        <source>Telefonski brojevi</source>
        <translation>Phone Numbers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Internet</source>
        <translation>Internet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Napomena</source>
        <translation>Notes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Slika</source>
        <translation> Picture</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zvuk</source>
        <translation>Sound</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Snimi</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+29"/>
        <source> Ime i prezime:</source>
        <translation> Name:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ime:</source>
        <translation>First name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prezime:</source>
        <translation>Last name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nadimak:</source>
        <translation>Nickname:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prikaži kao:</source>
        <translation>Display as:</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Bez grupe</source>
        <translation>No group</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;&lt; Dodaj novu grupu</source>
        <translation>&lt;&lt; Add new group</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Osoba pripada grupi:</source>
        <translation>Contact belongs to group:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Osoba je u Crnoj Listi</source>
        <translation>Contact is on the Black List</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;&lt; Više informacija!</source>
        <translation>&lt;&lt; More information!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Crna Lista:</source>
        <translation> Black List:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source> Kućna adresa:</source>
        <translation> Home address:</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+31"/>
        <source>Adresa:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <location line="-30"/>
        <location line="+31"/>
        <source>Poštanski broj:</source>
        <translation>Postal code:</translation>
    </message>
    <message>
        <location line="-30"/>
        <location line="+31"/>
        <source>Grad:</source>
        <translation>City:</translation>
    </message>
    <message>
        <location line="-30"/>
        <location line="+31"/>
        <source>Država:</source>
        <translation>Country:</translation>
    </message>
    <message>
        <location line="-11"/>
        <source> Tvrtka:</source>
        <translation> Company:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Naziv tvrtke:</source>
        <translation>Company name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odjel:</source>
        <translation>Department:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ured:</source>
        <translation>Office:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Radno mjesto:</source>
        <translation>Job title:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Poslovna adresa:</source>
        <translation> Business address:</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Mobitel</source>
        <translation>Mobile</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Faks</source>
        <translation>Fax</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Telefonski brojevi:</source>
        <translation> Phone numbers:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Lokacija:</source>
        <translation>Location:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Broj telefona:</source>
        <translation>Phone number:</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Format telefonskog broja</source>
        <translation>Phone Number Format</translation>
    </message>
    <message>
        <location line="+17"/>
        <source> E-mail adrese:</source>
        <translation> E-mail addresses:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>E-mail %1:</source>
        <translation>E-mail %1:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> Web stranice:</source>
        <translation> Web pages:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Privatna:</source>
        <translation>Personal:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Poslovna:</source>
        <translation>Business:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source> Napomena o osobi:</source>
        <translation> Notes about the contact:</translation>
    </message>
    <message>
        <location line="+14"/>
        <source> Pregled izabrane slike:</source>
        <translation> Preview of the chosen picture:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> Koristi stvarne dimenzije</source>
        <translation> Use actual size</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Prilagodi dimenzije</source>
        <translation> Fit to frame</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Centriraj sliku</source>
        <translation> Center picture</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&lt;&lt; Izaberi sliku</source>
        <translation>&lt;&lt; Choose picture</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&lt;&lt; Obriši sliku</source>
        <translation>&lt;&lt; Remove picture</translation>
    </message>
    <message>
        <location line="+22"/>
        <source> Odsviraj zvuk grupe kojoj osoba pripada</source>
        <translation> Play the sound of the contact&apos;s group</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Odsviraj specifičan zvuk za ovu osobu</source>
        <translation> Play this contact&apos;s own sound</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Izgovori tekst  (sintetizirani govor)</source>
        <translation> Speak a text  (text-to-speech)</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>[ Više informacija o izgovoru teksta ]</source>
        <translation>[ More about text-to-speech ]</translation>
    </message>
    <message>
        <location line="-10"/>
        <location filename="../../src/ui/TfrmContactEdit.cpp" line="+77"/>
        <source> Koristi ovu zvučnu datoteku:</source>
        <translation> Use this sound file:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Izaberi</source>
        <translation>Browse</translation>
    </message>
    <message>
        <location line="+6"/>
        <source> Kada ova osoba pozove:</source>
        <translation> When this contact calls:</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmContactEdit.cpp" line="-62"/>
        <source>Dužina teksta:     %1 / 255</source>
        <translation>Text length:     %1 / 255</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Izaberi sliku</source>
        <translation>Choose Picture</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Slike (%1)</source>
        <translation>Pictures (%1)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Sve datoteke (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <location line="+52"/>
        <source> Izgovori ovaj tekst:</source>
        <translation> Speak this text:</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>&lt;NAME&gt; poziva</source>
        <translation>&lt;NAME&gt; is calling</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Izaberi zvučnu datoteku</source>
        <translation>Choose Sound File</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Informacije o Crnoj Listi</source>
        <translation>About the Black List</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Osobe koje se nalaze u Crnoj Listi tretiraju se kao
nepoželjni pozivatelji. U opcijama programa možete postaviti
kako da program postupi prema takvim pozivateljima.

Moguće je postaviti da se pozivatelji iz Crne Liste uopće ne
prikazuju (opcija &apos;Ne smetaj!&apos;), da se automatski odbijaju
(opcija &apos;Odbij!&apos;) i da se ne zapisuju u listu poziva.</source>
        <translation>Contacts on the Black List are treated as unwanted
callers. In the options you can set how the program
deals with such callers.

Callers on the Black List can be hidden altogether
(&apos;Do not disturb!&apos;), rejected automatically
(&apos;Reject!&apos;) and left out of the call list.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Informacije o izgovoru teksta</source>
        <translation>About text-to-speech</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Izgovor teksta vam omogućava da se određeni tekst
izgovori generiranim glasom od strane računala.

U polje predviđeno za upis teksta možete upisati tekst koji
želite, no možete koristiti i funkciju &lt;NAME&gt; u kombinaciji
sa svojim tekstom. Ova će funkcija automatski u tekst ubaciti
ime osobe na koju se tekst odnosi.

PRIMJER:
Upišite u polje &quot;&lt;NAME&gt; poziva&quot; i kliknite Test!</source>
        <translation>Text-to-speech lets the computer speak a text
of your choice in a synthesized voice.

You can type any text into the text field, and you can
also use the &lt;NAME&gt; tag together with your own text.
The tag is replaced automatically by the name
of the contact the text belongs to.

EXAMPLE:
Type &quot;&lt;NAME&gt; is calling&quot; into the field and click Test!</translation>
    </message>
    <message>
        <location line="-217"/>
        <source>Potvrda</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Datoteka adresara ne može zapisati sva ova slova, pa ih sprema latinicom:

%1

Snimiti osobu ovako?</source>
        <translation>The address book file cannot hold all of these letters, so it saves them in Latin ones:

%1

Save the contact like this?</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Sprema se kao: %1</source>
        <translation>Saved as: %1</translation>
    </message>
    <message>
        <location line="-73"/>
        <source>Ime, prezime, nadimak i naziv za prikaz ne smiju sadržavati kontrolne znakove (tabulator, prijelom retka i slične).</source>
        <translation>The first name, last name, nickname and display name must not contain control characters (tab, line break and the like).</translation>
    </message>
</context>
<context>
    <name>TfrmFindContact</name>
    <message>
        <location filename="../../src/store/SearchContact.cpp" line="+72"/>
        <source>Sva polja</source>
        <translation>All fields</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Naziv osobe</source>
        <translation>Display name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prezime</source>
        <translation>Last name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ime</source>
        <translation>First name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nadimak</source>
        <translation>Nickname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Grupa</source>
        <translation>Group</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kuća:  Ulica</source>
        <translation>Home:  Street</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kuća:  Poštanski broj</source>
        <translation>Home:  Postal code</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kuća:  Grad</source>
        <translation>Home:  City</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kuća:  Država</source>
        <translation>Home:  Country</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Naziv tvrtke</source>
        <translation>Company</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odjel</source>
        <translation>Department</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ured</source>
        <translation>Office</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Naziv posla</source>
        <translation>Job title</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Posao:  Ulica</source>
        <translation>Business:  Street</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Posao:  Poštanski broj</source>
        <translation>Business:  Postal code</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Posao:  Grad</source>
        <translation>Business:  City</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Posao:  Država</source>
        <translation>Business:  Country</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Telefonske lokacije</source>
        <translation>Phone locations</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Telefonski brojevi</source>
        <translation>Phone numbers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>E-mail adrese</source>
        <translation>E-mail addresses</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Osobna Internet stranica</source>
        <translation>Personal web page</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Internet stranica tvrtke</source>
        <translation>Company web page</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Napomena</source>
        <translation>Notes</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmFindContact.cpp" line="+74"/>
        <source>Tvrtka</source>
        <translation>Company</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ime osobe</source>
        <translation>Contact</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Traženje osobe</source>
        <translation>Find Contact</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>Pretraživanje adresara</source>
        <translation>Search the address book</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> Traženje:</source>
        <translation> Search:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Traženi pojam:</source>
        <translation>Search for:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source> Kriteriji pretraživanja:</source>
        <translation> Search criteria:</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Prikaži podatke koji sadržavaju pojam</source>
        <translation>Show entries that contain the text</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Prikaži podatke koji su identični pojmu</source>
        <translation>Show entries identical to the text</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Traži u polju:</source>
        <translation>Search in field:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Uvijet traženja:</source>
        <translation>Condition:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Uzmi u obzir velika i mala slova pri traženju</source>
        <translation> Match case</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Traži</source>
        <translation>Search</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zaustavi</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Očisti sve</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zatvori</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>Prikaži</source>
        <translation>Show</translation>
    </message>
    <message>
        <location line="+17"/>
        <source> Pronađeno osoba:  %1</source>
        <translation> Contacts found:  %1</translation>
    </message>
</context>
<context>
    <name>TfrmFormatNumber</name>
    <message>
        <location filename="../../src/ui/TfrmFormatNumber.cpp" line="+20"/>
        <source>Format telefonskog broja</source>
        <translation>Phone Number Format</translation>
    </message>
    <message>
        <location line="+17"/>
        <source> Detalji telefonskog broja:</source>
        <translation> Phone number details:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Država:</source>
        <translation>Country:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pozivni broj:</source>
        <translation>Area code:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lokalni broj:</source>
        <translation>Local number:</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>U redu</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TfrmGroup</name>
    <message>
        <location filename="../../src/ui/TfrmGroup.cpp" line="+36"/>
        <source>Naziv grupe:</source>
        <translation>Group name:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Snimi</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Nova grupa</source>
        <translation>New Group</translation>
    </message>
    <message>
        <location line="+0"/>
        <source> Dodaj novu grupu:</source>
        <translation> Add a new group:</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Sprema se kao: %1</source>
        <translation>Saved as: %1</translation>
    </message>
</context>
<context>
    <name>TfrmIncomingCall</name>
    <message>
        <location filename="../../src/ui/TfrmIncomingCall.cpp" line="+85"/>
        <source>Klikni ovdje za pregled cijele napomene.</source>
        <translation>Click here to see the whole note.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Odbij poziv!</source>
        <translation>Reject call!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Zatvori</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Na crnoj listi!</source>
        <translation>On the black list!</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <location filename="../../src/ui/TfrmMain.cpp" line="+150"/>
        <source>Adresar</source>
        <translation>Address Book</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pozivi</source>
        <translation>Calls</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Opcije</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Nemaš novih poziva!</source>
        <translation>You have no new calls!</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Sakrij</source>
        <translation>Hide</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Uređaj:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Nova osoba</source>
        <translation>New Contact</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+184"/>
        <source>Izmjeni podatke o osobi</source>
        <translation>Edit Contact</translation>
    </message>
    <message>
        <location line="-183"/>
        <location line="+185"/>
        <location filename="../../src/ui/TfrmMainContacts.cpp" line="+376"/>
        <source>Izbriši osobu</source>
        <translation>Delete Contact</translation>
    </message>
    <message>
        <location line="-184"/>
        <source>Sakrij grupe</source>
        <translation>Hide Groups</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+174"/>
        <source>Prikaži grupe</source>
        <translation>Show Groups</translation>
    </message>
    <message>
        <location line="-171"/>
        <location line="+173"/>
        <source>Nova grupa</source>
        <translation>New Group</translation>
    </message>
    <message>
        <location line="-172"/>
        <location line="+173"/>
        <source>Preimenuj grupu</source>
        <translation>Rename Group</translation>
    </message>
    <message>
        <location line="-172"/>
        <location line="+173"/>
        <source>Izbriši grupu</source>
        <translation>Delete Group</translation>
    </message>
    <message>
        <location line="-172"/>
        <source>Pronađi osobu</source>
        <translation>Find Contact</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uvoz adresara</source>
        <translation>Import Address Book</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Razmjena kontakata</source>
        <translation>Exchange Contacts</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Izvoz adresara</source>
        <translation>Export Address Book</translation>
    </message>
    <message>
        <location line="+3"/>
        <location filename="../../src/ui/TfrmMainContacts.cpp" line="-118"/>
        <source>Sakrij detalje o osobi</source>
        <translation>Hide Contact Details</translation>
    </message>
    <message>
        <location line="+114"/>
        <location line="+63"/>
        <source>Dodaj telefonski broj u adresar</source>
        <translation>Add Phone Number to the Address Book</translation>
    </message>
    <message>
        <location line="-62"/>
        <location line="+63"/>
        <location filename="../../src/ui/TfrmMainCalls.cpp" line="+86"/>
        <source>Izbriši poziv</source>
        <translation>Delete Call</translation>
    </message>
    <message>
        <location line="-62"/>
        <source>Snimi pozive</source>
        <translation>Save Calls</translation>
    </message>
    <message>
        <location line="+56"/>
        <location filename="../../src/ui/TfrmMainContacts.cpp" line="+129"/>
        <source>Dodaj osobu u Crnu Listu</source>
        <translation>Add Contact to the Black List</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Označi sve osobe</source>
        <translation>Select All Contacts</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Označi sve pozive</source>
        <translation>Select All Calls</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vrijednosti odvojene zarezom (CSV)</source>
        <translation>Comma-Separated Values (CSV)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Proširivi jezik za označavanje (XML)</source>
        <translation>Extensible Markup Language (XML)</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>Informacija</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nijedan program ne otvara ovu adresu:
%1

Instalirajte web preglednik ili program za e-poštu.</source>
        <translation>No program opens this address:
%1

Install a web browser or an e-mail program.</translation>
    </message>
    <message>
        <location line="+115"/>
        <source>(nije izabran)</source>
        <translation>(none chosen)</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmMainCalls.cpp" line="-44"/>
        <source> Novih poziva:  %1</source>
        <translation> New calls:  %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Starih poziva:  %1</source>
        <translation> Old calls:  %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Ukupno poziva:  %1</source>
        <translation> Total calls:  %1</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>Izbriši pozive</source>
        <translation>Delete Calls</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Poziv:  %1

Da li stvarno želiš obrisati izabrani poziv?</source>
        <translation>Call:  %1

Do you really want to delete the selected call?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Poziva za brisanje:  %1

%2

Da li stvarno želiš obrisati izabrane pozive?</source>
        <translation>Calls to delete:  %1

%2

Do you really want to delete the selected calls?</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../../src/ui/TfrmMainContacts.cpp" line="+65"/>
        <location filename="../../src/ui/TfrmMainGroups.cpp" line="+173"/>
        <source>Potvrda</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Snimanje poziva</source>
        <translation>Save Calls</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmMainContacts.cpp" line="-357"/>
        <source>Osoba</source>
        <translation>Contact</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Ime:</source>
        <translation>First name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prezime:</source>
        <translation>Last name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nadimak:</source>
        <translation>Nickname:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Grupa:</source>
        <translation>Group:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Kuća</source>
        <translation>Home</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+11"/>
        <source>Adresa:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <location line="-10"/>
        <location line="+11"/>
        <source>Poštanski broj:</source>
        <translation>Postal code:</translation>
    </message>
    <message>
        <location line="-10"/>
        <location line="+11"/>
        <source>Grad:</source>
        <translation>City:</translation>
    </message>
    <message>
        <location line="-10"/>
        <location line="+11"/>
        <source>Država:</source>
        <translation>Country:</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Posao</source>
        <translation>Business</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tvrtka:</source>
        <translation>Company:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odjel:</source>
        <translation>Department:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ured:</source>
        <translation>Office:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Radno mjesto:</source>
        <translation>Job title:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Telefoni</source>
        <translation>Phones</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Internet</source>
        <translation>Internet</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>E-mail %1:</source>
        <translation>E-mail %1:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Privatna:</source>
        <translation>Personal:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Poslovna:</source>
        <translation>Business:</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Napomena</source>
        <translation>Notes</translation>
    </message>
    <message>
        <location line="+90"/>
        <source>Prikaži detalje o osobi</source>
        <translation>Show Contact Details</translation>
    </message>
    <message>
        <location line="+35"/>
        <source> Ukupno osoba:  %1</source>
        <translation> Total contacts:  %1</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Izbriši osobe</source>
        <translation>Delete Contacts</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Makni osobu iz Crne Liste</source>
        <translation>Remove Contact from the Black List</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Osoba:  %1

Da li stvarno želiš obrisati ovu osobu iz adresara?</source>
        <translation>Contact:  %1

Do you really want to delete this contact from the address book?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Osoba za brisanje:  %1

%2

Da li stvarno želiš obrisati izabrane osobe iz adresara?</source>
        <translation>Contacts to delete:  %1

%2

Do you really want to delete the selected contacts from the address book?</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>… i još %1</source>
        <translation>… and %1 more</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmMainGroups.cpp" line="-130"/>
        <source>Sve grupe</source>
        <translation>All groups</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bez grupe</source>
        <translation>No group</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Crna Lista</source>
        <translation>Black List</translation>
    </message>
    <message>
        <location line="+15"/>
        <source> Ukupno grupa:  %1</source>
        <translation> Total groups:  %1</translation>
    </message>
    <message>
        <location line="+19"/>
        <source> Grupa:  %1</source>
        <translation> Group:  %1</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>Preimenovanje grupe</source>
        <translation>Rename Group</translation>
    </message>
    <message>
        <location line="+0"/>
        <source> Preimenuj grupu:</source>
        <translation> Rename group:</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Grupa:  %1
Osoba u grupi:  %2

Za brisanje samo grupe, klikni na &quot;Da&quot;!
Za brisanje grupe i svih osoba u grupi, klikni na &quot;Da, sve!&quot;!

Obriši grupu?</source>
        <translation>Group:  %1
Contacts in the group:  %2

To delete only the group, click &quot;Yes&quot;!
To delete the group and every contact in it, click &quot;Yes to all&quot;!

Delete the group?</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmMain.cpp" line="-33"/>
        <source> Linija javlja previše poziva: dio ih nije zabilježen</source>
        <translation> The line reports too many calls: some are not logged</translation>
    </message>
</context>
<context>
    <name>TfrmNewCallMessage</name>
    <message>
        <location filename="../../src/ui/TfrmNewCallMessage.cpp" line="+52"/>
        <source>Nemaš novih poziva!</source>
        <translation>You have no new calls!</translation>
    </message>
</context>
<context>
    <name>TfrmOptions</name>
    <message>
        <location filename="../../src/ui/TfrmOptions.cpp" line="+35"/>
        <source>Opcije</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Osnovno</source>
        <translation>General</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uređaji</source>
        <translation>Devices</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nepoželjni pozivi</source>
        <translation>Unwanted Calls</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pozivi</source>
        <translation>Calls</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zvuk</source>
        <translation>Sound</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Jezik</source>
        <translation>Language</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dijeljenje poziva</source>
        <translation>Call sharing</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Prihvati</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Odustani</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+112"/>
        <source>Ne smetaj!</source>
        <translation>Do not disturb!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Opcija &apos;Ne smetaj!&apos; je isključena!</source>
        <translation>The &apos;Do not disturb!&apos; option is off!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Odbij!</source>
        <translation>Reject!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Opcija &apos;Odbij!&apos; je isključena!</source>
        <translation>The &apos;Reject!&apos; option is off!</translation>
    </message>
    <message>
        <location line="+20"/>
        <location filename="../../src/ui/TfrmOptionsDevices.cpp" line="+196"/>
        <location filename="../../src/ui/TfrmOptionsSharing.cpp" line="+135"/>
        <location line="+6"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Postavke nije moguće spremiti!</source>
        <translation>The settings cannot be saved!</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Informacija</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Jezik je promijenjen!

Potrebno je program zatvoriti, te ga ponovo pokrenuti. Tek će tada ova promjena imati učinka.</source>
        <translation>The language has been changed!

Close the program and start it again. The change will take effect only then.</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmOptionsDevices.cpp" line="-57"/>
        <source>Mogućnosti modema</source>
        <translation>Modem Capabilities</translation>
    </message>
    <message>
        <location line="-55"/>
        <source>Upravljački program:  AT modem s prikazom pozivatelja</source>
        <translation>Driver:  AT caller-ID modem</translation>
    </message>
    <message>
        <location line="-35"/>
        <source>Korisnik:  %1 (prijava kao %2)</source>
        <translation>User:  %1 (signs in as %2)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Prijenos:  %1</source>
        <translation>Transport:  %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+9"/>
        <location filename="../../src/ui/TfrmOptionsSharing.cpp" line="-20"/>
        <source>Lozinka:  %1</source>
        <translation>Password:  %1</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Podaci o liniji</source>
        <translation>Line Information</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vrsta linije:  </source>
        <translation>Line type:  </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Poslužitelj:  %1, port %2</source>
        <translation>Server:  %1, port %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Modem (odgovor na ATI):  </source>
        <translation>Modem (ATI answer):  </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Serijski port:  </source>
        <translation>Serial port:  </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Prikaz pozivatelja:  Ime</source>
        <translation>Caller ID:  Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prikaz pozivatelja:  Telefonski broj</source>
        <translation>Caller ID:  Phone number</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prikaz pozivatelja:  Blokirani pozivi</source>
        <translation>Caller ID:  Blocked calls</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prikaz pozivatelja:  Nedostupni pozivi</source>
        <translation>Caller ID:  Unavailable calls</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odbijanje poziva (Odbij!)</source>
        <translation>Rejecting calls (Reject!)</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Dodaj SIP račun...</source>
        <translation>Add SIP account...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uredi SIP račun...</source>
        <translation>Edit SIP account...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ukloni SIP račun</source>
        <translation>Remove SIP account</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Ukloniti SIP račun %1?</source>
        <translation>Remove the SIP account %1?</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>SIP račun nije moguće ukloniti: %1</source>
        <translation>The SIP account cannot be removed: %1</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>CAPI Informacije</source>
        <translation>CAPI Information</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Informacije o ISDN adapteru</source>
        <translation>ISDN Adapter Information</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Proizvođač:  </source>
        <translation>Manufacturer:  </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Serijski broj:  </source>
        <translation>Serial number:  </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Podržava B-kanala:  </source>
        <translation>B channels supported:  </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kontroler:  %1</source>
        <translation>Controller:  %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+17"/>
        <source>Mogućnosti ISDN adaptera</source>
        <translation>ISDN Adapter Capabilities</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Osnovne mogućnosti</source>
        <translation>Basic Capabilities</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>Podrška za B%1 protokol</source>
        <translation>B%1 protocol support</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Dodatne mogućnosti</source>
        <translation>Supplementary Services</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmOptionsPages.cpp" line="+99"/>
        <source> Start programa:</source>
        <translation> Start-up:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Pokreni Tellwise Monitor pri prijavi u radnu okolinu</source>
        <translation> Start Tellwise Monitor when I log in</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Započni pratiti pozive pri startu programa</source>
        <translation> Start monitoring calls when the program starts</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> U radu s programom:</source>
        <translation> While running:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>sekundi</source>
        <translation>seconds</translation>
    </message>
    <message>
        <location line="+6"/>
        <source> Potvrdi brisanje podataka</source>
        <translation> Confirm before deleting data</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Prije zatvaranja programa napravi sigurnosne kopije podataka</source>
        <translation> Back up the data before the program closes</translation>
    </message>
    <message>
        <location line="+15"/>
        <source> Koristi ovu vrstu uređaja:</source>
        <translation> Use this type of device:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Modem</source>
        <translation> Modem</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> ISDN adapter</source>
        <translation> ISDN adapter</translation>
    </message>
    <message>
        <location line="+9"/>
        <source> Koristi ovaj uređaj:</source>
        <translation> Use this device:</translation>
    </message>
    <message>
        <location line="+14"/>
        <source> Mogućnosti uređaja:</source>
        <translation> Device capabilities:</translation>
    </message>
    <message>
        <location line="+22"/>
        <source> Vizualni prikaz nepoželjnih poziva (Ne smetaj!):</source>
        <translation> Showing unwanted calls (Do not disturb!):</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Ne prikazuj pozive od osoba koje nisu u adresaru</source>
        <translation> Do not show calls from people who are not in the address book</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Ne prikazuj pozive od osoba iz &quot;Crne Liste&quot;</source>
        <translation> Do not show calls from contacts on the &quot;Black List&quot;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Ne prikazuj sakrivene i nedostupne pozive</source>
        <translation> Do not show withheld and unavailable calls</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> Odbijanje nepoželjnih poziva (Odbij!):</source>
        <translation> Rejecting unwanted calls (Reject!):</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Automatski odbij sve pozive od osoba iz &quot;Crne Liste&quot;</source>
        <translation> Automatically reject all calls from contacts on the &quot;Black List&quot;</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Automatski odbij sve sakrivene i nedostupne pozive</source>
        <translation> Automatically reject all withheld and unavailable calls</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> Zapisivanje nepoželjnih poziva:</source>
        <translation> Logging unwanted calls:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Zapisuj pozive u &quot;Listu Poziva&quot; od osoba iz &quot;Crne Liste&quot;</source>
        <translation> Log calls from contacts on the &quot;Black List&quot; in the &quot;Call List&quot;</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Zapisuj sakrivene i nedostupne pozive u &quot;Listu Poziva&quot;</source>
        <translation> Log withheld and unavailable calls in the &quot;Call List&quot;</translation>
    </message>
    <message>
        <location line="+13"/>
        <source> Vizualni prikaz:</source>
        <translation> Display:</translation>
    </message>
    <message>
        <location line="-124"/>
        <source> Sakrij Tellwise Monitor pri startu u područje obavijesti</source>
        <translation> Start Tellwise Monitor hidden in the notification area</translation>
    </message>
    <message>
        <location line="+9"/>
        <source> Automatski zatvori prozor poziva nakon</source>
        <translation> Close the call window automatically after</translation>
    </message>
    <message>
        <location line="+8"/>
        <source> Animiraj prozor poziva pri otvaranju i zatvaranju</source>
        <translation> Animate the call window when it opens and closes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Animiraj ikonu u području obavijesti</source>
        <translation> Animate the icon in the notification area</translation>
    </message>
    <message>
        <location line="+108"/>
        <source> Prikaži prozor poziva pri novom pozivu</source>
        <translation> Show the call window for a new call</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Prikaži poruku u području obavijesti pri novom pozivu</source>
        <translation> Show a message in the notification area for a new call</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Pri novom pozivu pali i gasi &quot;Scroll Lock&quot; lampicu na tipkovnici</source>
        <translation> Flash the keyboard&apos;s &quot;Scroll Lock&quot; light for a new call</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Pri novom pozivu pošalji obavijest radnoj površini</source>
        <translation> Send a desktop notification on a new call</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Prepoznaj pozivatelje i iz vCard kontakata</source>
        <translation> Also name callers from vCard contacts</translation>
    </message>
    <message>
        <location line="+6"/>
        <source> Čuvanje dolaznih poziva:</source>
        <translation> Keeping incoming calls:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Čuvaj sve pozive</source>
        <translation> Keep all calls</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Čuvaj samo pozive unazad</source>
        <translation> Keep only the calls of the last</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>dana</source>
        <translation>days</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+113"/>
        <source> Formatiranje telefonskih brojeva:</source>
        <translation> Phone number formatting:</translation>
    </message>
    <message>
        <location line="-109"/>
        <source>Nemoj formatirati telefonske brojeve</source>
        <translation>Do not format phone numbers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Formatiraj telefonske brojeve prema &quot;Format&quot; postavkama</source>
        <translation>Format phone numbers by the &quot;Format&quot; settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Neka program odluči kako formatirati telefonske brojeve</source>
        <translation>Let the program decide how to format phone numbers</translation>
    </message>
    <message>
        <location line="+17"/>
        <source> Osnovne postavke:</source>
        <translation> Basic settings:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Uključi zvuk</source>
        <translation> Sound on</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+25"/>
        <source>Izaberi</source>
        <translation>Browse</translation>
    </message>
    <message>
        <location line="-24"/>
        <location line="+26"/>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>Kad zazvoni telefon odsviraj ovaj zvuk:</source>
        <translation>Play this sound when the phone rings:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source> Zvukovi grupa:</source>
        <translation> Group sounds:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Izbriši</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+19"/>
        <source> Govor računala:</source>
        <translation> Computer speech:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> Uključi govor računala</source>
        <translation> Enable computer speech</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Opcije govora</source>
        <translation>Speech Options</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>%1 znamenki</source>
        <translation>%1 digits</translation>
    </message>
    <message>
        <location line="+28"/>
        <source> Koristi ovaj jezik:</source>
        <translation> Use this language:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Engleski</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hrvatski</source>
        <translation>Croatian</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmOptionsSounds.cpp" line="+23"/>
        <source>Izaberi zvučnu datoteku</source>
        <translation>Choose Sound File</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmOptionsDevices.cpp" line="-64"/>
        <location filename="../../src/ui/TfrmOptionsSounds.cpp" line="+75"/>
        <source>Potvrda</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmOptionsSounds.cpp" line="+0"/>
        <source>Da li stvarno želiš obrisati zvuk grupe?</source>
        <translation>Do you really want to delete the group&apos;s sound?</translation>
    </message>
    <message>
        <location filename="../../src/ui/TfrmOptionsSharing.cpp" line="-83"/>
        <source> Objavljuj pozive na MQTT posrednik</source>
        <translation> Publish calls to an MQTT broker</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>adresa[:port], npr. homeassistant.local</source>
        <translation>address[:port], e.g. homeassistant.local</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Šifrirana veza (TLS)</source>
        <translation> Encrypted connection (TLS)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>certifikati sustava</source>
        <translation>the system&apos;s certificates</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Objavljuj samo broj, bez imena i grupe iz adresara</source>
        <translation> Publish the number only, without the address book&apos;s name and group</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>prazno: ostaje spremljena</source>
        <translation>empty: the stored one stays</translation>
    </message>
    <message>
        <location line="+84"/>
        <source>Lozinka se sprema uz korisnika i adresu posrednika.</source>
        <translation>A password is stored with a user name and the broker&apos;s address.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Lozinku nije moguće spremiti: %1</source>
        <translation>The password cannot be stored: %1</translation>
    </message>
    <message>
        <location line="-83"/>
        <source>Posrednik:</source>
        <translation>Broker:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Korisnik:</source>
        <translation>User:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lozinka:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prefiks tema:</source>
        <translation>Topic prefix:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Datoteka CA:</source>
        <translation>CA file:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Certifikat klijenta:</source>
        <translation>Client certificate:</translation>
    </message>
</context>
<context>
    <name>TfrmOutlookContacts</name>
    <message>
        <location filename="../../src/ui/TfrmOutlookContacts.cpp" line="+52"/>
        <source>Tvrtka</source>
        <translation>Company</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ime osobe</source>
        <translation>Contact</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Razmjena podataka s vCard kontaktima</source>
        <translation>Exchange with vCard Contacts</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+9"/>
        <source>Označi sve</source>
        <translation>Select All</translation>
    </message>
    <message>
        <location line="-8"/>
        <location line="+9"/>
        <source>Odznači sve</source>
        <translation>Unselect All</translation>
    </message>
    <message>
        <location line="-8"/>
        <location line="+9"/>
        <source>Osvježi popis</source>
        <translation>Refresh List</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Snimi u adresar</source>
        <translation>Save to Address Book</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Mapa:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Snimi u vCard kontakte</source>
        <translation>Save to vCard Contacts</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Izbaci identične zapise</source>
        <translation>Remove Identical Entries</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zatvori</source>
        <translation>Close</translation>
    </message>
    <message numerus="yes">
        <location line="+12"/>
        <location line="+113"/>
        <source> vCard Kontakti  [ %n osoba ]:</source>
        <translation>
            <numerusform> vCard Contacts  [ %n contact ]:</numerusform>
            <numerusform> vCard Contacts  [ %n contacts ]:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="-112"/>
        <location line="+119"/>
        <source> Adresar  [ %n osoba ]:</source>
        <translation>
            <numerusform> Address Book  [ %n contact ]:</numerusform>
            <numerusform> Address Book  [ %n contacts ]:</numerusform>
        </translation>
    </message>
    <message>
        <location line="-72"/>
        <location line="+190"/>
        <location line="+47"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-236"/>
        <source>Ne mogu otvoriti vCard kontakte!</source>
        <translation>Cannot open the vCard contacts!</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Čitam vCard kontakte</source>
        <translation>Reading vCard contacts</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+183"/>
        <source>Mapa &quot;%1&quot;</source>
        <translation>Folder &quot;%1&quot;</translation>
    </message>
    <message>
        <location line="-182"/>
        <location line="+4"/>
        <source>Čitam podatke sa pozicije br. %1</source>
        <translation>Reading entry no. %1</translation>
    </message>
    <message>
        <location line="+151"/>
        <location line="+49"/>
        <source>Informacija</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>Snimam kontakte u vCard kontakte</source>
        <translation>Saving contacts to vCard contacts</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+6"/>
        <source>Snimam kontakt br. %1 od %2</source>
        <translation>Saving contact %1 of %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Dogodila se greška pri snimanju kontakata u vCard kontakte!</source>
        <translation>An error occurred while saving the contacts to vCard contacts!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Kontakti su uspješno snimljeni u vCard kontakte!

Provjerite na koje su lokacije zapisani telefonski
brojevi kod snimljenih kontakata. S obzirom da lokacije
telefonskih brojeva u adresaru Tellwise Monitora možete
nazivati proizvoljno, nemoguće je pretpostaviti u koje
lokacije želite te telefonske brojeve snimiti u vCard
kontaktima. Zbog toga to u programu za kontakte morate
obaviti samostalno!</source>
        <translation>The contacts were saved to vCard contacts!

Check which locations the phone numbers of the
saved contacts were written to. As the phone
locations in the Tellwise Monitor address book
can be named freely, it is impossible to guess
which locations you want those phone numbers
saved to in your vCard contacts. That is why you
have to do it yourself in your contacts program!</translation>
    </message>
</context>
<context>
    <name>TfrmOutlookFolders</name>
    <message>
        <location filename="../../src/ui/TfrmOutlookFolders.cpp" line="+23"/>
        <source>Izaberi mapu za snimanje kontakata</source>
        <translation>Choose the folder to save the contacts to</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> Mape u vCard Kontaktima:</source>
        <translation> Folders in vCard Contacts:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Dodaj novu</source>
        <translation>Add New</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Izbriši mapu</source>
        <translation>Delete Folder</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Prihvati</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Odustani</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+82"/>
        <location line="+39"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-39"/>
        <source>Mapa koju pokušavate dodati već postoji!</source>
        <translation>The folder you are trying to add already exists!</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Izbriši mapu iz vCard Kontakata?</source>
        <translation>Delete the folder from vCard Contacts?</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Mapa se s kontaktima u njoj (%1) premješta u smeće, odakle se može vratiti.</source>
        <translation>The folder and the contacts in it (%1) are moved to the trash, from where they can be restored.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Potvrda</source>
        <translation>Confirmation</translation>
    </message>
</context>
<context>
    <name>TfrmReading</name>
    <message>
        <location filename="../../src/ui/TfrmReading.cpp" line="+33"/>
        <source>Lokacija:</source>
        <translation>Location:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Upisano:</source>
        <translation>Entries:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Čitam podatke sa pozicije br. %1</source>
        <translation>Reading entry no. %1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Trenutak, molim . . .</source>
        <translation>One moment, please . . .</translation>
    </message>
</context>
<context>
    <name>TfrmSipAccount</name>
    <message>
        <location filename="../../src/ui/TfrmSipAccount.cpp" line="+32"/>
        <source>SIP račun</source>
        <translation>SIP account</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Novi SIP račun</source>
        <translation>New SIP account</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>adresa[:port], npr. 192.168.1.1</source>
        <translation>address[:port], e.g. 192.168.1.1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>kao korisnik</source>
        <translation>as the user</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>prazno: ostaje spremljena</source>
        <translation>empty: the stored one stays</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>Nova lozinka sprema se u privjesak ključeva; gdje ga nema, u datoteku %1, koju smije čitati samo vlasnik.</source>
        <translation>A new password is stored in the keyring; where there is none, in the file %1, which only its owner may read.</translation>
    </message>
    <message>
        <location line="-54"/>
        <source>Lozinka:  %1</source>
        <translation>Password:  %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Registrar:</source>
        <translation>Registrar:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Korisnik:</source>
        <translation>User:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Korisnik za prijavu:</source>
        <translation>Authentication user:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Prijenos:</source>
        <translation>Transport:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lozinka:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Snimi</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>u privjesku ključeva</source>
        <translation>in the keyring</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>u datoteci %1</source>
        <translation>in the file %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>datoteku %1 mogu čitati i drugi, ne koristi se</source>
        <translation>others can read the file %1, it is not used</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>nije spremljena</source>
        <translation>not stored</translation>
    </message>
    <message>
        <location line="+37"/>
        <location line="+11"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>SIP račun nije moguće spremiti: %1</source>
        <translation>The SIP account cannot be saved: %1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Lozinku nije moguće spremiti: %1</source>
        <translation>The password cannot be stored: %1</translation>
    </message>
</context>
<context>
    <name>TfrmSpeech</name>
    <message>
        <location filename="../../src/ui/TfrmSpeech.cpp" line="+52"/>
        <source>Opcije govora</source>
        <translation>Speech Options</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Tekst nije izgovoren: nema glasa ili zvučnog izlaza.</source>
        <translation>The text was not spoken: there is no voice or no sound output.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Koristi ovu verziju:</source>
        <translation> Use this engine:</translation>
    </message>
    <message>
        <location line="+21"/>
        <source> Osnovne postavke:</source>
        <translation> Basic settings:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Koristi ovaj glas:</source>
        <translation>Use this voice:</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Test tekst:</source>
        <translation>Test text:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <location line="+10"/>
        <source> Izgovori poruku dobrodošlice pri startu programa</source>
        <translation> Speak the welcome message at start-up</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>U redu</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Odustani</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+266"/>
        <source>Govor nije dostupan.</source>
        <translation>Speech is not available.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Govori eSpeak NG.</source>
        <translation>eSpeak NG speaks.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Govori Speech Dispatcher.</source>
        <translation>Speech Dispatcher speaks.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Speech Dispatcher se ne odaziva, pa govori eSpeak NG.</source>
        <translation>Speech Dispatcher does not answer, so eSpeak NG speaks.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Speech Dispatcher se ne odaziva, pa glas nije promijenjen.</source>
        <translation>Speech Dispatcher does not answer, so the voice was not changed.</translation>
    </message>
    <message>
        <location line="-204"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>TfrmStart</name>
    <message>
        <location filename="../../src/app/TfrmStart.cpp" line="+255"/>
        <source>Tellwise Monitor prati telefonsku liniju</source>
        <translation>Tellwise Monitor is watching the telephone line</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Naći ćete ga kao ikonu u području obavijesti: klik otvara adresar i pozive, desni klik izbornik s opcijama.</source>
        <translation>You will find it as an icon in the notification area: a click opens the address book and the calls, a right click a menu with the options.</translation>
    </message>
    <message>
        <location line="-116"/>
        <source>Nastaviti s ispravnim zapisima? Datoteka će se tada pri sljedećoj promjeni prepisati njima.
Ako odaberete Ne, datoteka ostaje kakva jest, a promjene se u nju ne spremaju do ponovnog pokretanja programa.</source>
        <translation>Go on with the readable records? The file will then be rewritten from them at the next change.
If you choose No, the file stays as it is, and changes to it are not saved until the program is started again.</translation>
    </message>
    <message>
        <location line="+121"/>
        <source>Nije izabran niti jedan uređaj!

Otvorite Opcije | Uređaji, te izaberite vrstu uređaja i uređaj koji želite.</source>
        <translation>No device has been chosen!

Open Options | Devices and choose the type of device and the device you want.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Ne mogu pronaći prethodno izabrani uređaj!

Otvorite Opcije | Uređaji, te izaberite vrstu uređaja
i uređaj koji želite.</source>
        <translation>Cannot find the device chosen before!

Open Options | Devices and choose the type of device
and the device you want.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Dobrodošli u Tellwise Monitor</source>
        <translation>Welcome to Tellwise Monitor</translation>
    </message>
    <message>
        <location line="-150"/>
        <location line="+4"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
    <message>
        <location filename="../../src/app/TfrmStartMenus.cpp" line="+87"/>
        <source>Ne smetaj!</source>
        <translation>Do not disturb!</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Odbij!</source>
        <translation>Reject!</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>Prije uključenja ove opcije, potrebno je u opcijama
postaviti za koju vrstu pozivatelja se opcija odnosi.
Kada opcija bude aktivna, pozivatelji koje postavite
više neće biti prikazivani.

Želite li opciju &apos;Ne smetaj!&apos; postaviti odmah?</source>
        <translation>Before you turn this option on, set in the options
which kinds of callers it applies to.
While the option is on, the callers you choose
will no longer be shown.

Do you want to set up &apos;Do not disturb!&apos; now?</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Prije uključenja ove opcije, potrebno je u opcijama
postaviti za koju vrstu pozivatelja se opcija odnosi.
Kada opcija bude aktivna, pozivatelji koje postavite
automatski će biti odbijeni.

Želite li opciju &apos;Odbij!&apos; postaviti odmah?</source>
        <translation>Before you turn this option on, set in the options
which kinds of callers it applies to.
While the option is on, the callers you choose
will be rejected automatically.

Do you want to set up &apos;Reject!&apos; now?</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Vrijednosti odvojene zarezom (*.csv)</source>
        <translation>Comma-Separated Values (*.csv)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Proširivi jezik za označavanje (*.xml)</source>
        <translation>Extensible Markup Language (*.xml)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Izvoz adresara</source>
        <translation>Export Address Book</translation>
    </message>
</context>
<context>
    <name>TfrmWab</name>
    <message>
        <location filename="../../src/ui/TfrmWab.cpp" line="+62"/>
        <source>Tvrtka</source>
        <translation>Company</translation>
    </message>
    <message>
        <location line="-31"/>
        <source> Izaberi datoteku za uvoz podataka:</source>
        <translation> Choose the file to import from:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Izaberi datoteku</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>Uvoz podataka iz datoteke adresara</source>
        <translation>Import from an Address Book File</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Izaberi datoteku adresara (.wab ili .vcf)</source>
        <translation>Choose an address book file (.wab or .vcf)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Naziv datoteke:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Ime osobe</source>
        <translation>Contact</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Označi sve</source>
        <translation>Select All</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Odznači sve</source>
        <translation>Unselect All</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Uvoz podataka</source>
        <translation>Import</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Odustani</source>
        <translation>Cancel</translation>
    </message>
    <message numerus="yes">
        <location line="+41"/>
        <source> vCard Adresar  [ %n osoba ]:</source>
        <translation>
            <numerusform> vCard Address Book  [ %n contact ]:</numerusform>
            <numerusform> vCard Address Book  [ %n contacts ]:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source> Windows Adresar  [ %n osoba ]:</source>
        <translation>
            <numerusform> Windows Address Book  [ %n contact ]:</numerusform>
            <numerusform> Windows Address Book  [ %n contacts ]:</numerusform>
        </translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Izaberi datoteku adresara</source>
        <translation>Choose an Address Book File</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Adresar (*.wab *.vcf *.vcard)</source>
        <translation>Address book (*.wab *.vcf *.vcard)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>vCard kontakti (*.vcf *.vcard)</source>
        <translation>vCard contacts (*.vcf *.vcard)</translation>
    </message>
    <message>
        <location line="+36"/>
        <location line="+44"/>
        <source>Greška</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-42"/>
        <source>Nema podataka!</source>
        <translation>No data!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Izabrana datoteka je prazna!</source>
        <translation>The chosen file is empty!</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+45"/>
        <source>Informacija</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>Potvrda</source>
        <translation>Confirmation</translation>
    </message>
</context>
<context>
    <name>TrayController</name>
    <message>
        <location filename="../../src/app/TrayController.cpp" line="+120"/>
        <source>Adresar</source>
        <translation>Address Book</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pozivi</source>
        <translation>Calls</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Prati pozive</source>
        <translation>Monitor calls</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uključi zvuk</source>
        <translation>Sound on</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ne smetaj!</source>
        <translation>Do not disturb!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odbij!</source>
        <translation>Reject!</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Opcije</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>O programu</source>
        <translation>About</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Zatvori Tellwise Monitor</source>
        <translation>Close Tellwise Monitor</translation>
    </message>
</context>
<context>
    <name>TrayFallbackWindow</name>
    <message>
        <location filename="../../src/app/TrayFallbackWindow.cpp" line="+29"/>
        <source>Radna površina nema područje obavijesti, pa je program dostupan
kroz ovaj prozor. Zatvaranje prozora zatvara program.</source>
        <translation>The desktop has no notification area, so the program is reached
through this window. Closing the window closes the program.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Izbornik</source>
        <translation>Menu</translation>
    </message>
</context>
<context>
    <name>VCard</name>
    <message>
        <location filename="../../src/exchange/VCard.cpp" line="+476"/>
        <source>%1: kućni broj %2</source>
        <translation>%1: extension %2</translation>
    </message>
    <message>
        <location line="+98"/>
        <source>Kuća</source>
        <translation>Home</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Kuća 2</source>
        <translation>Home 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mobitel</source>
        <translation>Mobile</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Tvrtka</source>
        <translation>Company</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Posao</source>
        <translation>Business</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Posao 2</source>
        <translation>Business 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Posao (FAX)</source>
        <translation>Business (FAX)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Kuća (FAX)</source>
        <translation>Home (FAX)</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Datoteka ima više kartica nego što se odjednom može uvesti: izostavljeno je %1 od %2 kartica.</source>
        <translation>The file holds more cards than can be imported at once: %1 of %2 cards were left out.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Preskočeno je kartica koje nisu kontakti ili se ne mogu pročitati: %1.</source>
        <translation>Cards skipped that are not contacts or cannot be read: %1.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Izostavljeno je telefonskih brojeva preko osam po kontaktu: %1 (zadržani su najprije glasovni i mobilni brojevi).</source>
        <translation>Phone numbers left out beyond eight per contact: %1 (voice and mobile numbers were kept first).</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Datoteka %1 se ne može otvoriti: %2</source>
        <translation>The file %1 cannot be opened: %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Datoteka nije vCard datoteka.</source>
        <translation>The file is not a vCard file.</translation>
    </message>
</context>
<context>
    <name>VCardFolders</name>
    <message>
        <location filename="../../src/exchange/VCardFolders.cpp" line="+166"/>
        <source>mapa nije dostupna</source>
        <translation>the folder is not available</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>kontakt nije snimljen</source>
        <translation>the contact was not saved</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>kontakt nije premješten</source>
        <translation>the contact was not moved</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>mapa nije dodana</source>
        <translation>the folder was not added</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>mapa nije izbrisana</source>
        <translation>the folder was not deleted</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>mapa je poveznica na %1 i ne briše se</source>
        <translation>the folder is a link to %1 and is not deleted</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>u mapi nisu samo vCard kontakti (%1) i ne briše se</source>
        <translation>the folder holds more than vCard contacts (%1) and is not deleted</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>mapa se ne može premjestiti u smeće</source>
        <translation>the folder cannot be moved to the trash</translation>
    </message>
</context>
<context>
    <name>WabCode</name>
    <message>
        <location filename="../../src/exchange/WabCode.cpp" line="+143"/>
        <location filename="../../src/exchange/WabIab.cpp" line="+204"/>
        <source>Datoteka je prevelika za datoteku Windows Adresara.</source>
        <translation>The file is too large for a Windows Address Book file.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Datoteka nije datoteka Windows Adresara.</source>
        <translation>The file is not a Windows Address Book file.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Datoteka je oštećena: nema tablice zapisa.</source>
        <translation>The file is damaged: it has no record table.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Datoteka je oštećena: tablica zapisa izlazi izvan datoteke.</source>
        <translation>The file is damaged: the record table runs past the end of the file.</translation>
    </message>
    <message>
        <location line="-40"/>
        <source>Datoteka je oštećena: zapis %1 izlazi izvan datoteke.</source>
        <translation>The file is damaged: record %1 runs past the end of the file.</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>Datoteka je oštećena: zapisi %1 i %2 se preklapaju.</source>
        <translation>The file is damaged: records %1 and %2 overlap.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Datoteka je oštećena: zapis %1 ima više svojstava nego podataka.</source>
        <translation>The file is damaged: record %1 claims more properties than it holds data.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Datoteka je oštećena: svojstva zapisa %1 ne odgovaraju popisu svojstava.</source>
        <translation>The file is damaged: the properties of record %1 do not match its property list.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Datoteka je oštećena: svojstvo zapisa %1 izlazi izvan zapisa.</source>
        <translation>The file is damaged: a property of record %1 runs past the record.</translation>
    </message>
    <message>
        <location filename="../../src/exchange/WabIab.cpp" line="-7"/>
        <source>Datoteka %1 se ne može otvoriti: %2</source>
        <translation>The file %1 cannot be opened: %2</translation>
    </message>
</context>
<context>
    <name>telephony::MqttClient</name>
    <message>
        <location filename="../../src/telephony/MqttClient.cpp" line="+293"/>
        <source>veza s posrednikom je prekinuta</source>
        <translation>the connection to the broker was lost</translation>
    </message>
</context>
</TS>
