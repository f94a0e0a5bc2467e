<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hr_HR" sourcelanguage="hr_HR">
<context>
    <name>NewCallIndicators</name>
    <message numerus="yes">
        <location filename="../../src/app/NewCallIndicators.cpp" line="+44"/>
        <source>Imaš %1 novi poziv!</source>
        <translation>
            <numerusform>Imaš %1 novi poziv!</numerusform>
            <numerusform>Imaš %1 nova poziva!</numerusform>
            <numerusform>Imaš %1 novih poziva!</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TfrmOutlookContacts</name>
    <message numerus="yes">
        <location filename="../../src/ui/TfrmOutlookContacts.cpp" line="+134"/>
        <location line="+113"/>
        <source> vCard Kontakti  [ %n osoba ]:</source>
        <translation>
            <numerusform> vCard Kontakti  [ %n osoba ]:</numerusform>
            <numerusform> vCard Kontakti  [ %n osobe ]:</numerusform>
            <numerusform> vCard Kontakti  [ %n osoba ]:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="-112"/>
        <location line="+119"/>
        <source> Adresar  [ %n osoba ]:</source>
        <translation>
            <numerusform> Adresar  [ %n osoba ]:</numerusform>
            <numerusform> Adresar  [ %n osobe ]:</numerusform>
            <numerusform> Adresar  [ %n osoba ]:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TfrmWab</name>
    <message numerus="yes">
        <location filename="../../src/ui/TfrmWab.cpp" line="+126"/>
        <source> vCard Adresar  [ %n osoba ]:</source>
        <translation>
            <numerusform> vCard Adresar  [ %n osoba ]:</numerusform>
            <numerusform> vCard Adresar  [ %n osobe ]:</numerusform>
            <numerusform> vCard Adresar  [ %n osoba ]:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source> Windows Adresar  [ %n osoba ]:</source>
        <translation>
            <numerusform> Windows Adresar  [ %n osoba ]:</numerusform>
            <numerusform> Windows Adresar  [ %n osobe ]:</numerusform>
            <numerusform> Windows Adresar  [ %n osoba ]:</numerusform>
        </translation>
    </message>
</context>
</TS>
