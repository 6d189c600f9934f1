#!/usr/bin/python3
"""Checks the JSON result of one `flussom controlla` run: valid against the schema, its
outcome agreeing with the exit status, and its blocks the report's blocks one to one.

    verifica_risultato.py SCHEMA RISULTATO STATO [REPORT]
    verifica_risultato.py SCHEMA --cartella DIR

With --cartella, every N.json of DIR is checked with its N.stato (the exit status) and N.RPT.
"""
import codecs
import json
import pathlib
import re
import sys

import jsonschema

# The five bytes that Windows-1252 leaves undefined read as the C1 control of the same value.
codecs.register_error("c1", lambda e: (chr(e.object[e.start]), e.start + 1))

BLOCCO = re.compile(r"^(\d+) \.{60} Ricetta Nr   (.*)$")


def gruppi_del_report(testo):
    """The report's messages grouped as its numbered lines close them: [(numero, ricetta,
    [messages])], and the messages that no numbered line closes."""
    righe = testo.split("\r\n")
    if righe and righe[-1] == "":
        righe.pop()
    if righe and righe[0].startswith("Struttura : "):
        righe = righe[6:]
    if len(righe) >= 2 and righe[-1].startswith("Data controllo : ") and righe[-2] == "":
        righe = righe[:-2]
    gruppi, aperti, dopo_blocco = [], [], False
    for r in righe:
        m = BLOCCO.match(r)
        if m:
            gruppi.append((int(m.group(1)), m.group(2), aperti))
            aperti, dopo_blocco = [], True
        elif r == "" and dopo_blocco:
            dopo_blocco = False
        else:
            aperti.append(r)
            dopo_blocco = False
    return gruppi, aperti


def verifica(schema, doc, stato, report):
    """What is wrong with one result (None when nothing): `report` the report's bytes or None."""
    jsonschema.validate(doc, schema, format_checker=jsonschema.FormatChecker())
    esito = doc["esito"]
    atteso = 0 if esito == "corretto" else 2 if esito == "non_controllato" else 1
    if stato != atteso:
        return f"esito {esito} ma stato d'uscita {stato}"
    if report is None or esito == "non_controllato":
        return None
    gruppi, fuori = gruppi_del_report(report.decode("cp1252", errors="c1"))
    dal_json = [(b["numero"], b["ricetta"], [m["testo"] for m in b["messaggi"]]) for b in doc["errori"]]
    if dal_json != gruppi:
        return f"blocchi diversi dal report:\nJSON   {dal_json}\nreport {gruppi}"
    if [m["testo"] for m in doc["messaggi_fuori_blocco"]] != fuori:
        return f"messaggi fuori blocco diversi: {doc['messaggi_fuori_blocco']} / {fuori}"
    for b in doc["errori"]:
        if b["righe"]["prima"] > b["righe"]["ultima"]:
            return f"blocco {b['numero']}: righe {b['righe']}"
        for m in b["messaggi"]:
            if m["riga"] is not None and not b["righe"]["prima"] <= m["riga"] <= b["righe"]["ultima"]:
                return f"blocco {b['numero']}: riga {m['riga']} fuori dalle righe {b['righe']}"
    return None


def leggi(nome, binario=False):
    with open(nome, "rb" if binario else "r", **({} if binario else {"encoding": "utf-8"})) as f:
        return f.read() if binario else json.load(f)


def main():
    schema = leggi(sys.argv[1])
    if sys.argv[2] == "--cartella":
        cartella = pathlib.Path(sys.argv[3])
        risultati = sorted(cartella.glob("*.json"))
        for r in risultati:
            stato = int(r.with_suffix(".stato").read_text())
            guasto = verifica(schema, leggi(r), stato, r.with_suffix(".RPT").read_bytes())
            if guasto:
                sys.exit(f"{r}: {guasto}")
        print(f"{len(risultati)} risultati verificati")
        return
    report = leggi(sys.argv[4], binario=True) if len(sys.argv) >= 5 else None
    guasto = verifica(schema, leggi(sys.argv[2]), int(sys.argv[3]), report)
    if guasto:
        sys.exit(guasto)


if __name__ == "__main__":
    main()
