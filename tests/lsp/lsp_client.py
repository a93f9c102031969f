"""A small Language Server Protocol client over pipes, for the protocol
tests and the benchmark: frames messages, matches responses to requests and
keeps the notifications in arrival order."""
import json
import queue
import subprocess
import threading
import time


class Client:
    def __init__(self, command, cwd=None):
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, cwd=cwd)
        self.inbox = queue.Queue()
        self.backlog = []
        self.next_id = 1
        self.stderr = b""
        threading.Thread(target=self._read, daemon=True).start()
        threading.Thread(target=self._drain_stderr, daemon=True).start()

    def _drain_stderr(self):
        self.stderr = self.proc.stderr.read()

    def _read(self):
        out = self.proc.stdout
        try:
            while True:
                headers = {}
                while True:
                    line = out.readline()
                    if not line:
                        self.inbox.put(None)
                        return
                    line = line.rstrip(b"\r\n")
                    if not line:
                        break
                    name, _, value = line.partition(b":")
                    headers[name.strip().lower()] = value.strip()
                length = int(headers[b"content-length"])
                body = out.read(length)
                self.inbox.put(json.loads(body))
        except Exception as error:  # a broken frame from the server fails the test
            self.inbox.put({"client_error": repr(error)})

    # Sending.
    def send_raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def notify(self, method, params=None):
        message = {"jsonrpc": "2.0", "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)

    def request_async(self, method, params=None):
        rid = self.next_id
        self.next_id += 1
        message = {"jsonrpc": "2.0", "id": rid, "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)
        return rid

    def request(self, method, params=None, timeout=30):
        return self.response(self.request_async(method, params), timeout)

    # Receiving.
    def _next(self, deadline):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise TimeoutError("no message from the server")
        try:
            message = self.inbox.get(timeout=remaining)
        except queue.Empty:
            raise TimeoutError("no message from the server")
        if message is None:
            raise EOFError("the server closed its output")
        if "client_error" in message:
            raise AssertionError("unreadable message from the server: " + message["client_error"])
        return message

    def wait(self, predicate, timeout=30):
        """The first message (kept or new) that satisfies predicate; the
        others stay in the backlog."""
        for i, message in enumerate(self.backlog):
            if predicate(message):
                return self.backlog.pop(i)
        deadline = time.monotonic() + timeout
        while True:
            message = self._next(deadline)
            if predicate(message):
                return message
            self.backlog.append(message)

    def response(self, rid, timeout=30):
        return self.wait(lambda m: m.get("id") == rid and "method" not in m, timeout)

    def diagnostics(self, uri, timeout=30):
        """The next publishDiagnostics for uri."""
        message = self.wait(lambda m: m.get("method") == "textDocument/publishDiagnostics"
                            and m["params"]["uri"] == uri, timeout)
        return message["params"]["diagnostics"]

    def sync(self, timeout=60):
        """Waits until the server has dealt with everything sent so far: it
        answers a request only after publishing what the changes before it
        caused. Returns the messages that came meanwhile."""
        rid = self.request_async("zr17/sync", {})
        self.response(rid, timeout)
        messages, self.backlog = self.backlog, []
        return messages

    def last_diagnostics(self, uri, timeout=60):
        """After sync: the last diagnostics published for uri since the
        previous sync, or None when none were."""
        found = None
        for message in self.sync(timeout):
            if message.get("method") == "textDocument/publishDiagnostics" and message["params"]["uri"] == uri:
                found = message["params"]["diagnostics"]
        return found

    def drop_backlog(self):
        self.backlog.clear()

    def close(self, timeout=30):
        try:
            self.proc.stdin.close()
        except BrokenPipeError:
            pass
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise
