-- The sample rows carry their own keys: the numbering of new rows goes on
-- after the highest of them.
SELECT setval(pg_get_serial_sequence('comuni', 'idcomune'), (SELECT max(IdComune) FROM Comuni));
SELECT setval(pg_get_serial_sequence('agenti', 'idagente'), (SELECT max(IdAgente) FROM Agenti));
SELECT setval(pg_get_serial_sequence('clienti', 'idcliente'), (SELECT max(IdCliente) FROM Clienti));
SELECT setval(pg_get_serial_sequence('ordini', 'idordine'), (SELECT max(IdOrdine) FROM Ordini));
