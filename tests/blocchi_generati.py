#!/usr/bin/python3
"""Checks the JSON result against the report over many generated files with errors: every
block's messages, and every message's line inside its block's lines.

    blocchi_generati.py FLUSSOM FLUSSOM_GENERA SORGENTI QUANTI
"""
import pathlib
import random
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import verifica_risultato  # noqa: E402


def ricette(righe):
    """The lines grouped into ricette, each ending at its closing row (progressivo 99)."""
    gruppi, aperta = [], []
    for r in righe:
        aperta.append(r)
        if r[138:140] == b"99":
            gruppi.append(aperta)
            aperta = []
    return gruppi + ([aperta] if aperta else [])


def scompiglia(dati, seme):
    """What the generator never writes: ricette that take the number of the one before,
    closing rows left out, a service repeated past ten, and now and then a line cut short."""
    caso = random.Random(seme)
    gruppi = ricette(dati.read_bytes().split(b"\r\n")[:-1])
    for k in range(1, len(gruppi)):
        g = gruppi[k]
        if caso.random() < 0.08:
            g[:] = [r[:122] + gruppi[k - 1][0][122:138] + r[138:] for r in g]
        if caso.random() < 0.05 and len(g) > 1:
            g.pop()
        if caso.random() < 0.02:
            g[:1] = g[:1] * 11
    righe = [r for g in gruppi for r in g]
    if seme % 4 == 0:
        righe[caso.randrange(len(righe))] = righe[0][:150]
    dati.write_bytes(b"".join(r + b"\r\n" for r in righe))


def main():
    flussom, genera, sorgenti, quanti = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3]), int(sys.argv[4])
    schema = verifica_risultato.leggi(sorgenti / "docs" / "risultato.schema.json")
    with tempfile.TemporaryDirectory() as d:
        app = pathlib.Path(d) / "app"
        subprocess.run([flussom, "tabelle", "costruisci", sorgenti / "tabelle", app], check=True, capture_output=True)
        shutil.copy(sorgenti / "esempi" / "strutture.DAT", app)
        dati, risultato = pathlib.Path(d) / "FLM10.txt", pathlib.Path(d) / "risultato.json"
        blocchi = 0
        for seme in range(1, quanti + 1):
            # From few errors to many, and short ricette to long ones, as the seed goes.
            quota = (0.02, 0.1, 0.3)[seme % 3]
            subprocess.run([genera, "--cartella", app, "--righe", "1500", "--errori", str(quota), "--seme", str(seme),
                            dati], check=True, capture_output=True)
            scompiglia(dati, seme)
            stato = subprocess.run([flussom, "controlla", "--cartella", app, "--json", risultato, dati],
                                   capture_output=True).returncode
            doc = verifica_risultato.leggi(risultato)
            guasto = verifica_risultato.verifica(schema, doc, stato, (app / "errori.RPT").read_bytes())
            if guasto:
                sys.exit(f"seme {seme}, errori {quota}: {guasto}")
            blocchi += len(doc["errori"])
        print(f"{quanti} file generati, {blocchi} blocchi: ogni messaggio dentro le righe del suo blocco")


if __name__ == "__main__":
    main()
