"""Saves a document with LibreOffice under a password: save-with-password.py SOURCE TARGET FILTER PASSWORD PROFILE.

The command line's --convert-to cannot pass a password, so this drives a headless LibreOffice over UNO. Word
2007+ files are encrypted the way Word 2007 does it (standard encryption inside a compound file).
"""
import os
import subprocess
import sys
import time

import uno
from com.sun.star.beans import NamedValue, PropertyValue


def prop(name, value):
    result = PropertyValue()
    result.Name, result.Value = name, value
    return result


def named(name, value):
    result = NamedValue()
    result.Name, result.Value = name, value
    return result


def connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(150):  # LibreOffice takes a few seconds to start
        try:
            return resolver.resolve(f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
        except Exception:
            time.sleep(0.2)
    raise SystemExit("LibreOffice did not start")


source, target, filter_name, password, profile = sys.argv[1:6]
pipe = f"veltrik_fixtures_{os.getpid()}"
office = subprocess.Popen(["soffice", f"-env:UserInstallation=file://{profile}", "--headless", "--invisible",
                           f"--accept=pipe,name={pipe};urp;"])
desktop = connect(pipe).ServiceManager.createInstance("com.sun.star.frame.Desktop")
try:
    document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(source)), "_blank", 0,
                                            (prop("Hidden", True),))
    # Typed explicitly: an untyped tuple reaches the filter as a sequence of any, which it ignores.
    encryption = uno.Any("[]com.sun.star.beans.NamedValue",
                         (named("OOXPassword", password), named("CryptoType", "Standard")))
    document.storeToURL(uno.systemPathToFileUrl(os.path.abspath(target)),
                        (prop("FilterName", filter_name), prop("EncryptionData", encryption)))
    document.close(True)
finally:
    try:
        desktop.terminate()
    except Exception:  # the bridge closes while LibreOffice quits
        pass
    office.wait(timeout=60)
