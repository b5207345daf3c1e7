#!/usr/bin/env python3
"""A lying CalDAV server for the sync's tests, on 127.0.0.1 and on 127.0.0.2
(another origin): prints both ports and logs "host:port METHOD path auth" per
request. On 127.0.0.1, /dav/ names a calendar home on the other origin, /cal/
lists hrefs outside itself, /reset/ breaks off its answer, /huge/ sends far
too much, /trickle/ one byte every 10 s, /header/ an ETag of 1 MB; /line/,
/exceptions/ and /minutely/ are calendars whose events cost: a 16 MB content
line, 3,000 changed occurrences of one event, 100 events repeating every
minute. 127.0.0.2 answers everything as a calendar, to be followed."""
import http.server, socket, sys, threading, time

LOG = open(sys.argv[1], "a", buffering=1)
CALENDAR = "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"


def multistatus(*responses):
    return ('<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav">' + "".join(
        "<d:response><d:href>%s</d:href><d:propstat><d:prop>%s</d:prop><d:status>HTTP/1.1 200 OK"
        "</d:status></d:propstat></d:response>" % r for r in responses) + "</d:multistatus>").encode()


def event(uid, extra=""):
    return ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//hostile//EN\r\nBEGIN:VEVENT\r\nUID:%s\r\n"
            "DTSTAMP:20300101T000000Z\r\nDTSTART:20300501T080000Z\r\nSUMMARY:%s\r\n%sEND:VEVENT\r\n"
            "END:VCALENDAR\r\n" % (uid, uid, extra))


def exceptions(uid, n):
    master = event(uid, "RRULE:FREQ=DAILY\r\n").replace("END:VCALENDAR\r\n", "")
    moved = "".join("BEGIN:VEVENT\r\nUID:%s\r\nDTSTAMP:20300101T000000Z\r\nRECURRENCE-ID:%sT080000Z\r\n"
                    "DTSTART:%sT100000Z\r\nSUMMARY:verlegt\r\nEND:VEVENT\r\n"
                    % (uid, day, day) for day in (time.strftime("%Y%m%d", time.gmtime(1903910400 + 86400 * i))
                                                   for i in range(n)))
    return master + moved + "END:VCALENDAR\r\n"


# The calendars whose events cost, each (name, iCalendar) of its events.
CALENDARS = {
    "/line/": lambda: [("a.ics", event("a", "DESCRIPTION:" + "x" * (16 << 20) + "\r\n"))],
    "/exceptions/": lambda: [("a.ics", exceptions("a", 3000))],
    "/minutely/": lambda: [("m%d.ics" % i, event("m%d" % i, "RRULE:FREQ=MINUTELY\r\n")) for i in range(100)],
}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", length=None, etag='"1"'):
        self.send_response(status)
        self.send_header("ETag", etag)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)

    def handle_any(self):
        host, port = self.server.server_address
        self.rfile.read(int(self.headers.get("Content-Length") or 0))
        LOG.write("%s:%d %s %s %s\n" % (host, port, self.command, self.path,
                                        "auth" if self.headers.get("Authorization") else "-"))
        other = "http://127.0.0.2:%d" % OTHER
        if host != "127.0.0.1":
            return self.answer(207, multistatus((self.path, CALENDAR)))
        if self.command == "PUT":
            return self.answer(201)
        if self.path.startswith("/dav/"):
            home = "<c:calendar-home-set><d:href>%s/home/</d:href></c:calendar-home-set>" % other
            return self.answer(207, multistatus(("/dav/", home)))
        if self.path.startswith("/reset/"):
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\1\0\0\0\0\0\0\0")
            self.close_connection = True
            return self.answer(207, b'<d:multistatus xmlns:d="DAV:"><d:response>', length=5000)
        if self.path.startswith("/huge/"):
            self.close_connection = True
            try:
                self.answer(207, b" " * (1 << 20), length=100 << 20)
                for _ in range(99):
                    self.wfile.write(b" " * (1 << 20))
            except OSError:
                pass
            return
        if self.path.startswith("/trickle/"):
            self.close_connection = True
            try:
                self.send_response(207)
                self.send_header("Content-Length", "1000")
                self.end_headers()
                for _ in range(1000):
                    self.wfile.write(b" ")
                    self.wfile.flush()
                    time.sleep(10)
            except OSError:
                pass
            return
        if self.path.startswith("/header/"):
            size = int(self.path.partition("?")[2] or 1 << 20)
            return self.answer(207, multistatus(("/header/", CALENDAR)), etag='"%s"' % ("e" * size))
        folder = "/" + self.path.split("/")[1] + "/"
        if folder in CALENDARS and self.command == "PROPFIND":
            items = [] if self.headers.get("Depth") == "0" else [
                (folder + name, '<d:getetag>"%d"</d:getetag>' % len(ics)) for name, ics in CALENDARS[folder]()]
            return self.answer(207, multistatus((folder, CALENDAR), *items))
        if folder in CALENDARS and self.command == "REPORT":
            return self.answer(207, multistatus(*[
                (folder + name, '<d:getetag>"%d"</d:getetag><c:calendar-data>%s</c:calendar-data>' % (len(ics), ics))
                for name, ics in CALENDARS[folder]()]))
        if self.path.startswith("/cal/") and self.headers.get("Depth") == "0":
            return self.answer(207, multistatus(("/cal/", CALENDAR)))
        if self.path.startswith("/cal/"):
            hostile = ["../../etc/passwd", "/root/.ssh/id_rsa", other + "/cal/x.ics"]
            return self.answer(207, multistatus(("/cal/", CALENDAR),
                                                *[(h, "<d:getetag>\"%d\"</d:getetag>" % i) for i, h in enumerate(hostile)]))
        return self.answer(404)

    do_PROPFIND = do_REPORT = do_PUT = do_GET = do_DELETE = handle_any


def serve(host):
    server = http.server.ThreadingHTTPServer((host, 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


OTHER = serve("127.0.0.2")
print(serve("127.0.0.1"), OTHER, flush=True)
threading.Event().wait()
