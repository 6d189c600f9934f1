#!/usr/bin/python3
"""Checks the JSON result of one `flussom controlla` run: valid against the schema, its
outcome agreeing with the exit status, and its blocks the report's blocks one to one.

    verifica_risultato.py SCHEMA RISULTATO STATO [REPORT]
"""
import codecs
import json
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


def main():
    schema_file, risultato_file, stato = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with open(schema_file, encoding="utf-8") as f:
        schema = json.load(f)
    with open(risultato_file, encoding="utf-8") as f:
        doc = json.load(f)
    jsonschema.validate(doc, schema, format_checker=jsonschema.FormatChecker())
    esito = doc["esito"]
    atteso = 0 if esito == "corretto" else 2 if esito == "non_controllato" else 1
    if stato != atteso:
        sys.exit(f"esito {esito} ma stato d'uscita {stato}")
    if len(sys.argv) < 5 or esito == "non_controllato":
        return
    with open(sys.argv[4], "rb") as f:
        gruppi, fuori = gruppi_del_report(f.read().decode("cp1252", errors="c1"))
    dal_json = [(b["numero"], b["ricetta"], [m["testo"] for m in b["messaggi"]]) for b in doc["errori"]]
    if dal_json != gruppi:
        sys.exit(f"blocchi diversi dal report:\nJSON   {dal_json}\nreport {gruppi}")
    if [m["testo"] for m in doc["messaggi_fuori_blocco"]] != fuori:
        sys.exit(f"messaggi fuori blocco diversi: {doc['messaggi_fuori_blocco']} / {fuori}")
    for b in doc["errori"]:
        if b["righe"]["prima"] > b["righe"]["ultima"]:
            sys.exit(f"blocco {b['numero']}: righe {b['righe']}")
        for m in b["messaggi"]:
            if m["riga"] is not None and not b["righe"]["prima"] <= m["riga"] <= b["righe"]["ultima"]:
                sys.exit(f"blocco {b['numero']}: riga {m['riga']} fuori dalle righe {b['righe']}")


if __name__ == "__main__":
    main()
