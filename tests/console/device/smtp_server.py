#!/usr/bin/python3
"""Loopback SMTP server for the console's e-mail tests (aiosmtpd).

Every delivered message is written as JSON to <outdir>/<n>.json with the
envelope and the parsed headers and body. Prints "READY" once listening and
runs until stdin closes or the process is terminated.
"""
import argparse
import email
import email.policy
import json
import os
import ssl
import sys
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


class Saver:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.original_content or envelope.content,
                                           policy=email.policy.default)
        login = ""
        auth_data = getattr(session, "auth_data", None)
        if session.authenticated and auth_data is not None and hasattr(auth_data, "login"):
            login = auth_data.login.decode()
        body = message.get_body(preferencelist=("plain",))
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "from": str(message["From"]),
            "to": str(message["To"]),
            "subject": str(message["Subject"]),
            "body": body.get_content() if body is not None else "",
            "raw": (envelope.original_content or envelope.content).decode("utf-8", "replace"),
            "login": login,
            "tls": server.transport.get_extra_info("ssl_object") is not None,
        }
        self.count += 1
        path = os.path.join(self.outdir, "%d.json" % self.count)
        with open(path + ".tmp", "w", encoding="utf-8") as out:
            json.dump(record, out)
        os.rename(path + ".tmp", path)
        return "250 OK"


def main():
    warnings.filterwarnings("ignore")
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--mode", choices=["plain", "starttls", "tls"], default="plain")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--auth", help="user:password required for AUTH")
    parser.add_argument("--outdir", required=True)
    args = parser.parse_args()

    context = None
    if args.mode != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    kwargs = {}
    if args.auth:
        user, password = args.auth.split(":", 1)

        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = auth_data.login.decode() == user and auth_data.password.decode() == password
            return AuthResult(success=ok, handled=False, auth_data=auth_data)

        kwargs["authenticator"] = authenticator
        kwargs["auth_required"] = True
        kwargs["auth_require_tls"] = args.mode == "starttls"
    if args.mode == "starttls":
        kwargs["tls_context"] = context
        kwargs["require_starttls"] = True
    if args.mode == "tls":
        kwargs["ssl_context"] = context
        kwargs["server_hostname"] = args.host

    controller = Controller(Saver(args.outdir), hostname=args.host, port=args.port, **kwargs)
    controller.start()
    print("READY", flush=True)
    try:
        sys.stdin.read()
    finally:
        controller.stop()


if __name__ == "__main__":
    main()
